#include "ui/CSkinPaths.h"

#include "common/InstallPaths.h"

#include <QDir>
#include <QRegularExpression>

namespace nq::ui {
namespace {

QString& OverrideFolder()
{
    static QString folder;
    return folder;
}

QString MappedName(QString name, const QString& extension)
{
    name.replace('\\', '/');
    while (name.startsWith('/'))
        name.remove(0, 1);
    if (name.endsWith(".xml", Qt::CaseInsensitive))
        name.chop(4);
    return name + extension;
}

} // namespace

QString CSkinPaths::SkinFolder()
{
    if (!OverrideFolder().isEmpty())
        return OverrideFolder();
    return QString::fromStdString(nq::ProgramDataFolder()) + "skin/";
}

void CSkinPaths::SetSkinFolder(const QString& folder)
{
    OverrideFolder() = folder;
    if (!folder.isEmpty() && !folder.endsWith('/'))
        OverrideFolder() += '/';
}

QString CSkinPaths::LayoutFile(const QString& layoutName)
{
    return SkinFolder() + MappedName(layoutName, ".ui");
}

QString CSkinPaths::LanguageFile(const QString& languageFile)
{
    QString name = languageFile;
    if (name.endsWith(".json", Qt::CaseInsensitive))
        name.chop(5);
    return SkinFolder() + "lang/" + MappedName(name, ".json");
}

QString CSkinPaths::ImageFile(const QString& description)
{
    QString text = description.trimmed();
    if (text.isEmpty())
        return {};
    static const QRegularExpression attribute(R"((?:^|\s)(?:file|res)\s*=\s*'([^']*)')");
    QRegularExpressionMatch match = attribute.match(text);
    QString path;
    if (match.hasMatch())
        path = match.captured(1);
    else if (!text.contains('='))
        path = text;
    if (path.isEmpty())
        return {};
    path.replace('\\', '/');
    if (QDir::isAbsolutePath(path))
        return path;
    return SkinFolder() + path;
}

} // namespace nq::ui
