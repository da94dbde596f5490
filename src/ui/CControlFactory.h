#pragma once
// The control factory: a control class name found in a layout -> a function that creates the
// control. Names are compared without regard to case. Classes the factory does not know are
// left to the standard Qt widgets of the loader.
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>

namespace nq::ui {

class CControlFactory {
public:
    using Creator = std::function<QWidget*(QWidget* parent)>;

    static CControlFactory& Instance();

    // A second registration of the same name replaces the first.
    void RegistControl(const QString& className, Creator creator);
    template <class T>
    void RegistControl(const QString& className)
    {
        RegistControl(className, [](QWidget* parent) -> QWidget* { return new T(parent); });
    }
    bool IsRegistered(const QString& className) const;
    // Names in registration order.
    QStringList RegisteredNames() const;

    // A new control, or nullptr when the name is unknown. The control's "nqClass" property holds
    // the class name it was created for.
    QWidget* CreateControl(const QString& className, QWidget* parent) const;

private:
    std::map<QString, Creator> m_creators; // key: lower-case name
    QStringList m_order;
};

// The class name of a control: the factory name it was created for, else its Qt class name
// without namespaces.
QString ControlClassName(const QWidget* control);

} // namespace nq::ui
