#pragma once
// Builds control trees from the layout files of the skin (Qt Designer ".ui" XML), creating the
// registered custom controls through the control factory. A missing or malformed layout gives a
// diagnostic and no controls; it never ends the program.
#include <QString>
#include <QUiLoader>

namespace nq::ui {

class CSkinLoader : public QUiLoader {
public:
    CSkinLoader();

    QWidget* createWidget(const QString& className, QWidget* parent = nullptr,
                          const QString& name = QString()) override;

    // Loads the layout as a new control tree under parent. The tree's controls are bound to the
    // notifications and their language keys are resolved. Returns nullptr on failure and puts a
    // description in *error when given.
    static QWidget* Load(const QString& layoutName, QWidget* parent, QString* error = nullptr);

    // Loads the layout and lays its root out to fill container (a control that "builds its tree
    // from" a sub-layout). Returns the root or nullptr.
    static QWidget* LoadInto(QWidget* container, const QString& layoutName, QString* error = nullptr);
};

} // namespace nq::ui
