#include "ui/CSkinLoader.h"

#include "common/DebugLog.h"
#include "ui/CControlFactory.h"
#include "ui/CFontTable.h"
#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"
#include "ui/CSkinWindow.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QVBoxLayout>
#include <QXmlStreamReader>

namespace nq::ui {
namespace {

void Fail(QString* error, const QString& text)
{
    nq::DebugOut(text.toStdString());
    if (error)
        *error = text;
}

// Reports the first XML error with its line, which the Qt loader does not do.
QString XmlProblem(const QByteArray& data)
{
    QXmlStreamReader reader(data);
    bool sawUi = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && !sawUi) {
            if (reader.name() != QLatin1String("ui"))
                return QString("root element is <%1>, not <ui>").arg(reader.name().toString());
            sawUi = true;
        }
    }
    if (reader.hasError())
        return QString("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
    if (!sawUi)
        return "no <ui> element";
    return {};
}

} // namespace

CSkinLoader::CSkinLoader()
{
    setWorkingDirectory(QDir(CSkinPaths::SkinFolder()));
}

QWidget* CSkinLoader::createWidget(const QString& className, QWidget* parent, const QString& name)
{
    QWidget* control = CControlFactory::Instance().CreateControl(className, parent);
    if (!control)
        control = QUiLoader::createWidget(className, parent, name);
    if (!control) {
        nq::DebugOut(QString("layout: unknown control class \"%1\" for \"%2\"").arg(className, name).toStdString());
        return nullptr;
    }
    control->setObjectName(name);
    return control;
}

QWidget* CSkinLoader::Load(const QString& layoutName, QWidget* parent, QString* error)
{
    QString path = CSkinPaths::LayoutFile(layoutName);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(error, QString("layout \"%1\" cannot be opened: %2").arg(layoutName, path));
        return nullptr;
    }
    QByteArray data = file.readAll();
    QString problem = XmlProblem(data);
    if (!problem.isEmpty()) {
        Fail(error, QString("layout \"%1\" is malformed (%2): %3").arg(layoutName, path, problem));
        return nullptr;
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    CSkinLoader loader;
    QWidget* root = loader.load(&buffer, parent);
    if (!root) {
        Fail(error, QString("layout \"%1\" cannot be built (%2): %3").arg(layoutName, path, loader.errorString()));
        return nullptr;
    }
    CResourceManager::Instance().ApplyTexts(root);
    CFontTable::Instance().ApplyFonts(root);
    CNotifyBridge::Bind(root);
    return root;
}

QWidget* CSkinLoader::LoadInto(QWidget* container, const QString& layoutName, QString* error)
{
    if (!container)
        return nullptr;
    QWidget* root = Load(layoutName, container, error);
    if (!root)
        return nullptr;
    QLayout* layout = container->layout();
    if (!layout) {
        layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    layout->addWidget(root);
    root->show();
    if (auto* window = qobject_cast<CSkinWindow*>(container->window()); window && window->Dpi() != 96)
        window->ApplyDpiToContents(root);
    return root;
}

} // namespace nq::ui
