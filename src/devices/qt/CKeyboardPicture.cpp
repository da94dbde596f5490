#include "devices/qt/CKeyboardPicture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace nq::pages {

namespace {

const QColor kCapFace(0x23, 0x27, 0x2f);
const QColor kCapEdge(0x3b, 0x42, 0x4e);
const QColor kLegend(0xf2, 0xf5, 0xf9);
const QColor kRemapLabel(0x00, 0xb4, 0xff);
const QColor kSelected(0xff, 0x99, 0x00);
const QColor kCaseFill(0x15, 0x18, 0x1d);
const QColor kCaseEdge(0x33, 0x39, 0x44);

QRect ToRect(const KeyboardPictureLayout::Rect& r)
{
    return QRect(int(std::lround(r.x)), int(std::lround(r.y)), int(std::lround(r.w)), int(std::lround(r.h)));
}

} // namespace

CKeyCapButtonUI::CKeyCapButtonUI(QWidget* parent) : CDeviceKeyButtonUI(parent)
{
    setFlat(true);
    setFocusPolicy(Qt::NoFocus);
}

void CKeyCapButtonUI::SetLegend(const QString& legend)
{
    m_legend = legend;
    update();
}

void CKeyCapButtonUI::SetRemapped(bool remapped)
{
    if (m_remapped == remapped)
        return;
    m_remapped = remapped;
    update();
}

void CKeyCapButtonUI::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor light = LightColour();
    const double level = ShowsLight() ? light.alphaF() : 0.0;
    const QColor glow(light.red(), light.green(), light.blue());

    if (m_lamp) {
        painter.setPen(QPen(kCapEdge, 1));
        painter.setBrush(kCapFace);
        painter.drawRoundedRect(area, 3, 3);
        QColor lamp = glow;
        lamp.setAlphaF(level);
        painter.setPen(Qt::NoPen);
        painter.setBrush(lamp);
        painter.drawRoundedRect(area.adjusted(2, 2, -2, -2), 2, 2);
    } else {
        // The light shows around the cap and through its edge; the cap face stays dark.
        QColor rim = glow;
        rim.setAlphaF(0.25 + 0.75 * level);
        painter.setPen(Qt::NoPen);
        painter.setBrush(level > 0 ? rim : kCapEdge);
        painter.drawRoundedRect(area, 4, 4);
        QColor face = kCapFace;
        if (level > 0) {
            const double mix = 0.18 * level;
            face = QColor::fromRgbF(kCapFace.redF() * (1 - mix) + glow.redF() * mix,
                                    kCapFace.greenF() * (1 - mix) + glow.greenF() * mix,
                                    kCapFace.blueF() * (1 - mix) + glow.blueF() * mix);
        }
        painter.setBrush(isEnabled() ? face : face.darker(140));
        painter.drawRoundedRect(area.adjusted(2, 2, -2, -3), 3, 3);

        const QRectF face2 = area.adjusted(3, 3, -3, -4);
        QFont font = painter.font();
        font.setBold(m_legend.size() <= 3);
        // The largest size up to 11 pixels at which the legend fits the cap.
        for (int size = 11; size >= 6; --size) {
            font.setPixelSize(size);
            if (QFontMetrics(font).horizontalAdvance(m_legend) <= face2.width())
                break;
        }
        painter.setFont(font);
        painter.setPen(isEnabled() ? kLegend : kLegend.darker(170));
        const bool label = m_remapped && !text().isEmpty();
        painter.drawText(face2, (label ? Qt::AlignTop : Qt::AlignVCenter) | Qt::AlignHCenter, m_legend);
        if (label) {
            font.setPixelSize(8);
            font.setBold(false);
            painter.setFont(font);
            painter.setPen(kRemapLabel);
            painter.drawText(face2, Qt::AlignBottom | Qt::AlignHCenter,
                             painter.fontMetrics().elidedText(text(), Qt::ElideRight, int(face2.width())));
        }
    }
    if (IsKeySelected() || property("selectedKey").toBool()) {
        painter.setPen(QPen(kSelected, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), 4, 4);
    }
}

CKeyboardCaseUI::CKeyboardCaseUI(const KeyboardPictureLayout& layout, bool ghostKeys, QWidget* parent)
    : QWidget(parent), m_layout(layout), m_ghostKeys(ghostKeys)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CKeyboardCaseUI::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kCaseEdge, 1.5));
    painter.setBrush(kCaseFill);
    painter.drawRoundedRect(QRectF(ToRect(m_layout.CasePixels())).adjusted(1, 1, -1, -1), 12, 12);
    if (!m_ghostKeys)
        return;
    painter.setPen(QPen(kCapEdge, 1));
    painter.setBrush(Qt::NoBrush);
    for (const KeyboardPictureLayout::Cap& cap : m_layout.keys)
        painter.drawRoundedRect(QRectF(ToRect(m_layout.Pixels(cap))), 3, 3);
}

int BuildKeyboardPicture(QWidget* panel, int view, const KeyboardPictureLayout& layout)
{
    if (!panel || layout.Empty() || !panel->findChildren<CDeviceKeyButtonUI*>(Qt::FindDirectChildrenOnly).isEmpty())
        return 0;
    const QRect outline = ToRect(layout.CasePixels());
    panel->setMinimumSize(outline.right() + layout.marginX, outline.bottom() + layout.marginY);
    auto* outlineWidget = new CKeyboardCaseUI(layout, view != 0, panel);
    outlineWidget->setObjectName(QString("keyboard_case_%1").arg(view));
    outlineWidget->setGeometry(0, 0, panel->minimumWidth(), panel->minimumHeight());

    const std::vector<KeyboardPictureLayout::Cap>& caps = view == 0 ? layout.keys : view == 1 ? layout.logo : layout.side;
    const char* prefix = view == 0 ? "key_" : view == 1 ? "logo_led_" : "side_led_";
    for (const KeyboardPictureLayout::Cap& cap : caps) {
        auto* button = new CKeyCapButtonUI(panel);
        button->setObjectName(QString("%1%2").arg(prefix).arg(cap.index));
        button->setProperty("userdata", QString("light_%1").arg(cap.index));
        button->SetLegend(QString::fromStdString(cap.legend));
        button->SetLamp(view != 0);
        button->setGeometry(ToRect(layout.Pixels(cap)));
    }
    return int(caps.size());
}

} // namespace nq::pages
