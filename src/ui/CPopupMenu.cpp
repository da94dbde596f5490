#include "ui/CPopupMenu.h"

#include "common/DebugLog.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinLoader.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace nq::ui {
namespace {

void TranslateActions(QMenu* menu)
{
    const QList<QAction*> actions = menu->findChildren<QAction*>();
    for (QAction* action : actions) {
        QString key = action->property("textKey").toString();
        if (!key.isEmpty())
            action->setText(CResourceManager::Instance().Text(key));
    }
    const QList<QMenu*> menus = menu->findChildren<QMenu*>();
    for (QMenu* sub : menus) {
        QString key = sub->property("textKey").toString();
        if (!key.isEmpty())
            sub->setTitle(CResourceManager::Instance().Text(key));
    }
}

} // namespace

QMenu* CPopupMenu::Create(const QString& layoutName, QWidget* parent, QString* error)
{
    QWidget* root = CSkinLoader::Load(layoutName, parent, error);
    if (!root)
        return nullptr;
    auto* menu = qobject_cast<QMenu*>(root);
    if (!menu) {
        QString text = QString("menu layout \"%1\" has no menu at its root").arg(layoutName);
        nq::DebugOut(text.toStdString());
        if (error)
            *error = text;
        delete root;
        return nullptr;
    }
    // Loaded with a parent, the menu would be a child control; it has to be its own popup.
    menu->setParent(parent, Qt::Popup);
    TranslateActions(menu);
    return menu;
}

QString CPopupMenu::ItemName(const QObject* action)
{
    return action ? action->objectName() : QString();
}

QString CPopupMenu::Exec(const QString& layoutName, const QPoint& globalPos, QWidget* parent)
{
    QMenu* menu = Create(layoutName, parent);
    if (!menu)
        return {};
    QPointer<QMenu> guard(menu);
    QAction* chosen = menu->exec(globalPos);
    QString name = ItemName(chosen);
    delete guard.data();
    return name;
}

QMenu* CPopupMenu::Popup(const QString& layoutName, const QPoint& globalPos, QWidget* parent,
                         std::function<void(const QString&)> onChosen)
{
    QMenu* menu = Create(layoutName, parent);
    if (!menu)
        return nullptr;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(menu, &QMenu::triggered, menu, [onChosen](QAction* action) {
        if (onChosen)
            onChosen(ItemName(action));
    });
    menu->popup(globalPos);
    return menu;
}

} // namespace nq::ui
