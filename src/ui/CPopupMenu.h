#pragma once
// Popup menus built from a menu layout: a ".ui" file whose root is a QMenu; each item is an
// action whose name (objectName) is what the menu reports when it is chosen. Submenus are QMenu
// children added to the root. An action's dynamic property "textKey" gives its text by language
// key.
#include <QPoint>
#include <QString>

#include <functional>

class QMenu;
class QObject;
class QWidget;

namespace nq::ui {

class CPopupMenu {
public:
    // A new menu (owned by parent), or nullptr with a diagnostic when the layout is missing or
    // its root is not a menu.
    static QMenu* Create(const QString& layoutName, QWidget* parent, QString* error = nullptr);
    // Shows the menu and waits: the chosen item's name, or "" when the menu was dismissed.
    static QString Exec(const QString& layoutName, const QPoint& globalPos, QWidget* parent = nullptr);
    // Shows the menu and returns at once; onChosen gets the chosen item's name. The menu deletes
    // itself when it closes.
    static QMenu* Popup(const QString& layoutName, const QPoint& globalPos, QWidget* parent,
                        std::function<void(const QString&)> onChosen);
    // The name reported for a triggered item.
    static QString ItemName(const QObject* action);
};

} // namespace nq::ui
