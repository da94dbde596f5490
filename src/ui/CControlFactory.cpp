#include "ui/CControlFactory.h"

#include <QVariant>

namespace nq::ui {

CControlFactory& CControlFactory::Instance()
{
    static CControlFactory factory;
    return factory;
}

void CControlFactory::RegistControl(const QString& className, Creator creator)
{
    QString key = className.toLower();
    if (m_creators.find(key) == m_creators.end())
        m_order.append(className);
    m_creators[key] = std::move(creator);
}

bool CControlFactory::IsRegistered(const QString& className) const
{
    return m_creators.find(className.toLower()) != m_creators.end();
}

QStringList CControlFactory::RegisteredNames() const
{
    return m_order;
}

QWidget* CControlFactory::CreateControl(const QString& className, QWidget* parent) const
{
    auto found = m_creators.find(className.toLower());
    if (found == m_creators.end() || !found->second)
        return nullptr;
    QWidget* control = found->second(parent);
    if (control)
        control->setProperty("nqClass", className);
    return control;
}

QString ControlClassName(const QWidget* control)
{
    if (!control)
        return {};
    QVariant registered = control->property("nqClass");
    if (registered.isValid())
        return registered.toString();
    QString name = QString::fromLatin1(control->metaObject()->className());
    int colon = name.lastIndexOf(':');
    return colon >= 0 ? name.mid(colon + 1) : name;
}

} // namespace nq::ui
