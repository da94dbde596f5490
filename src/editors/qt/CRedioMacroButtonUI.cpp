#include "editors/qt/CRedioMacroButtonUI.h"

#include "ui/CControlAccess.h"

#include <QTimer>

namespace nq::pages {

namespace {
constexpr int kStep = 20;
constexpr int kLow = 80;
constexpr int kHigh = 255;
} // namespace

CRedioMacroButtonUI::CRedioMacroButtonUI(QWidget* parent) : QPushButton(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(kPeriodMs);
    connect(m_timer, &QTimer::timeout, this, &CRedioMacroButtonUI::Tick);
}

void CRedioMacroButtonUI::StartIndicator() { m_timer->start(); }
void CRedioMacroButtonUI::StopIndicator() { m_timer->stop(); }
bool CRedioMacroButtonUI::IsIndicatorRunning() const { return m_timer->isActive(); }

void CRedioMacroButtonUI::Tick()
{
    m_fade += m_rising ? kStep : -kStep;
    if (m_fade > kHigh - 1) {
        m_fade = kHigh;
        m_rising = false;
    } else if (m_fade <= kLow) {
        m_fade = kLow;
        m_rising = true;
    }
    ui::CControlAccess::SetForeImage(this, ForeImage());
}

QString CRedioMacroButtonUI::ForeImage() const
{
    return QString("res='%1' fade='%2'").arg(m_image).arg(m_fade);
}

} // namespace nq::pages
