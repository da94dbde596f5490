#include "ui/CResourceManager.h"

#include "common/DebugLog.h"
#include "ui/CControlAccess.h"
#include "ui/CSkinPaths.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>

namespace nq::ui {

CResourceManager& CResourceManager::Instance()
{
    static CResourceManager manager;
    return manager;
}

void CResourceManager::SetLanguage(const QString& name)
{
    m_language = name;
}

QString CResourceManager::Language() const
{
    return m_language;
}

bool CResourceManager::LoadLanguage(const QString& languageFile)
{
    return LoadLanguageFromPath(CSkinPaths::LanguageFile(languageFile));
}

bool CResourceManager::LoadLanguageFromPath(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        nq::DebugOut(QString("language file cannot be opened: %1").arg(path).toStdString());
        return false;
    }
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        nq::DebugOut(QString("language file is malformed: %1 (%2 at %3)")
                         .arg(path, error.errorString())
                         .arg(error.offset)
                         .toStdString());
        return false;
    }
    QHash<QString, QString> texts;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        if (it.value().isString())
            texts.insert(it.key(), it.value().toString());
    m_texts = std::move(texts);
    m_file = path;
    return true;
}

QString CResourceManager::LoadedFile() const
{
    return m_file;
}

QString CResourceManager::Text(const QString& key) const
{
    auto found = m_texts.constFind(key);
    return found == m_texts.constEnd() ? key : found.value();
}

bool CResourceManager::MergeLanguagePart(const QString& part)
{
    const QString loaded = m_file + m_language;
    const QString suffix = loaded.contains("cn", Qt::CaseInsensitive) ? "_cn.json" : "_en.json";
    QFile in(CSkinPaths::LanguageFile(part + suffix));
    if (!in.open(QIODevice::ReadOnly)) {
        nq::DebugOut(("language texts missing: " + in.fileName()).toStdString());
        return false;
    }
    const QJsonObject object = QJsonDocument::fromJson(in.readAll()).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isString() && !m_texts.contains(it.key()))
            m_texts.insert(it.key(), it.value().toString());
    }
    return true;
}

bool CResourceManager::HasText(const QString& key) const
{
    return m_texts.contains(key);
}

void CResourceManager::SetText(const QString& key, const QString& text)
{
    m_texts.insert(key, text);
}

void CResourceManager::Clear()
{
    m_texts.clear();
    m_file.clear();
}

void CResourceManager::ApplyTexts(QWidget* root) const
{
    if (!root)
        return;
    CControlAccess::RefreshTexts(root);
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* child : children)
        CControlAccess::RefreshTexts(child);
}

void CResourceManager::ReloadTexts() const
{
    const QList<QWidget*> widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets)
        CControlAccess::RefreshTexts(widget);
}

} // namespace nq::ui
