#include "ui/CControlTimer.h"

#include "ui/CNotifyBridge.h"

#include <QPointer>
#include <QTimer>

namespace nq::ui {
namespace {

QString TimerName(int id)
{
    return QString("nqTimer:%1").arg(id);
}

QTimer* FindTimer(QWidget* control, int id)
{
    return control ? control->findChild<QTimer*>(TimerName(id), Qt::FindDirectChildrenOnly) : nullptr;
}

} // namespace

bool CControlTimer::SetTimer(QWidget* control, int id, int periodMs)
{
    if (!control || periodMs < 0)
        return false;
    QTimer* timer = FindTimer(control, id);
    if (!timer) {
        timer = new QTimer(control);
        timer->setObjectName(TimerName(id));
        timer->setTimerType(Qt::PreciseTimer);
        QPointer<QWidget> guard(control);
        QObject::connect(timer, &QTimer::timeout, control, [guard, id] {
            if (!guard)
                return;
            if (auto* target = dynamic_cast<IControlTimerTarget*>(guard.data()))
                target->OnControlTimer(id);
            else
                CNotifyBridge::Raise(guard.data(), "timer", static_cast<quintptr>(id));
        });
    }
    timer->start(periodMs);
    return true;
}

void CControlTimer::KillTimer(QWidget* control, int id)
{
    QTimer* timer = FindTimer(control, id);
    if (!timer)
        return;
    // The handler may kill the timer that is calling it; it is deleted once that call returns.
    timer->stop();
    timer->setObjectName(QString());
    timer->deleteLater();
}

void CControlTimer::KillAllTimers(QWidget* control)
{
    if (!control)
        return;
    const QList<QTimer*> timers = control->findChildren<QTimer*>(Qt::FindDirectChildrenOnly);
    for (QTimer* timer : timers) {
        if (!timer->objectName().startsWith("nqTimer:"))
            continue;
        timer->stop();
        timer->setObjectName(QString());
        timer->deleteLater();
    }
}

bool CControlTimer::IsTimerActive(QWidget* control, int id)
{
    QTimer* timer = FindTimer(control, id);
    return timer && timer->isActive();
}

} // namespace nq::ui
