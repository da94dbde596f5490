#include "devices/qt/CKeyboardPicture.h"

#include <QFontMetrics>
#include <QPainter>

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

// A cap's outline: its pixel rectangle with the edges on pixel centres.
QRectF CapArea(const QSize& size)
{
    return QRectF(0.5, 0.5, size.width() - 1, size.height() - 1);
}

// A lamp's lit face inside its socket.
QRectF LampFace(const QRectF& area)
{
    return area.adjusted(2, 2, -2, -2);
}

// The legend (and the assignment label of a re-assigned key) inside the cap face.
void DrawLegend(QPainter& painter, const CKeyCapButtonUI& cap, const QRectF& face)
{
    const QString legend = cap.Legend();
    QFont font = cap.font();
    font.setBold(legend.size() <= 3);
    // The largest size up to 11 pixels at which the legend fits the cap.
    int size = 11;
    for (; size > 6; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(legend) <= face.width())
            break;
    }
    font.setPixelSize(size);
    painter.setFont(font);
    painter.setPen(cap.isEnabled() ? kLegend : kLegend.darker(170));
    const bool label = cap.IsRemapped() && !cap.text().isEmpty();
    painter.drawText(face, (label ? Qt::AlignTop : Qt::AlignVCenter) | Qt::AlignHCenter, legend);
    if (!label)
        return;
    font.setPixelSize(8);
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(kRemapLabel);
    painter.drawText(face, Qt::AlignBottom | Qt::AlignHCenter,
                     painter.fontMetrics().elidedText(cap.text(), Qt::ElideRight, int(face.width())));
}

} // namespace

CKeyCapButtonUI::CKeyCapButtonUI(QWidget* parent) : CLampButtonUI(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void CKeyCapButtonUI::SetLegend(const QString& legend)
{
    m_legend = legend;
    LookChanged();
}

void CKeyCapButtonUI::SetRemapped(bool remapped)
{
    if (m_remapped == remapped)
        return;
    m_remapped = remapped;
    LookChanged();
}

void CKeyCapButtonUI::SetLabel(const QString& label, bool remapped)
{
    if (label == text() && remapped == m_remapped)
        return;
    setText(label);
    m_remapped = remapped;
    LookChanged();
}

void CKeyCapButtonUI::SetLamp(bool lamp)
{
    m_lamp = lamp;
    LookChanged();
}

// ---- the picture ----

CKeyboardPictureUI::CKeyboardPictureUI(const KeyboardPictureLayout& layout, int view, QWidget* panel)
    : CLampPictureUI(panel), m_layout(layout), m_view(view)
{
}

void CKeyboardPictureUI::DrawStatic(QPainter& painter)
{
    painter.fillRect(rect(), PageColour());
    painter.setPen(QPen(kCaseEdge, 1.5));
    painter.setBrush(kCaseFill);
    painter.drawRoundedRect(QRectF(ToRect(m_layout.CasePixels())).adjusted(1, 1, -1, -1), 12, 12);
    if (m_view == 0)
        return;
    painter.setPen(QPen(kCapEdge, 1));
    painter.setBrush(Qt::NoBrush);
    for (const KeyboardPictureLayout::Cap& cap : m_layout.keys)
        painter.drawRoundedRect(QRectF(ToRect(m_layout.Pixels(cap))), 3, 3);
    // The LEDs' sockets; their light is drawn over the face.
    painter.setPen(QPen(kCapEdge, 1));
    painter.setBrush(kCapFace);
    for (const KeyboardPictureLayout::Cap& led : m_view == 1 ? m_layout.logo : m_layout.side) {
        const QRect place = ToRect(m_layout.Pixels(led));
        painter.drawRoundedRect(CapArea(place.size()).translated(place.topLeft()), 3, 3);
    }
}

QPainterPath CKeyboardPictureUI::LitShape(const CLampButtonUI& lamp) const
{
    const auto* cap = qobject_cast<const CKeyCapButtonUI*>(&lamp);
    const QRectF area = CapArea(lamp.size());
    QPainterPath shape;
    if (cap && cap->IsLamp())
        shape.addRoundedRect(LampFace(area), 2, 2);
    else
        shape.addRoundedRect(area, 4, 4); // the light shows around the cap and through its edge
    return shape;
}

void CKeyboardPictureUI::DrawOverLight(QPainter& painter, const CLampButtonUI& lamp)
{
    const auto* cap = qobject_cast<const CKeyCapButtonUI*>(&lamp);
    const QRectF area = CapArea(lamp.size());
    if (cap && !cap->IsLamp())
        DrawLegend(painter, *cap, area.adjusted(3, 3, -3, -4));
    if (lamp.ShowsSelected()) {
        painter.setPen(QPen(kSelected, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), 4, 4);
    }
}

int CKeyboardPictureUI::LightColours(const CLampButtonUI& lamp, QRgb below, QRgb* colours) const
{
    const auto* cap = qobject_cast<const CKeyCapButtonUI*>(&lamp);
    if (!cap || cap->IsLamp())
        return CLampPictureUI::LightColours(lamp, below, colours);
    // The cap's edge, lit from below, around a dark face that takes a little of the light.
    const double level = LightLevel(lamp);
    const QColor rim = level > 0 ? Blend(below, lamp.LightColour(), 0.25 + 0.75 * level) : kCapEdge;
    QColor face = Blend(kCapFace.rgb(), lamp.LightColour(), 0.18 * level);
    if (!lamp.isEnabled())
        face = face.darker(140);
    colours[0] = rim.rgb();
    colours[1] = Blend(rim.rgb(), face, 0.5).rgb();
    colours[2] = face.rgb();
    return 3;
}

void CKeyboardPictureUI::FillParts(QPainter& painter, const CLampButtonUI& lamp, const QRect& shape, const QColor* colours) const
{
    const auto* cap = qobject_cast<const CKeyCapButtonUI*>(&lamp);
    if (!cap || cap->IsLamp()) {
        CLampPictureUI::FillParts(painter, lamp, shape, colours);
        return;
    }
    // A key cap: the rim over all of the cap, then the face. The
    // face's edges lie on pixel centres: its outer pixels are half face, half rim (part 1); its
    // corners, rounded by 3 pixels, leave the outer pixels' first three at each end to the rim.
    painter.fillRect(shape, colours[0]);
    const int x = shape.x(), y = shape.y(), w = shape.width(), h = shape.height();
    if (w < 12 || h < 12 || shape.size() == QSize())
        return;
    painter.fillRect(QRect(x + 5, y + 2, w - 10, h - 5), colours[1]);
    painter.fillRect(QRect(x + 2, y + 5, w - 4, h - 11), colours[1]);
    painter.fillRect(QRect(x + 3, y + 3, w - 6, h - 7), colours[2]);
}

int BuildKeyboardPicture(QWidget* panel, int view, const KeyboardPictureLayout& layout)
{
    if (!panel || layout.Empty() || !panel->findChildren<CDeviceKeyButtonUI*>(Qt::FindDirectChildrenOnly).isEmpty())
        return 0;
    const QRect outline = ToRect(layout.CasePixels());
    panel->setMinimumSize(outline.right() + layout.marginX, outline.bottom() + layout.marginY);
    auto* picture = new CKeyboardPictureUI(layout, view, panel);
    picture->setObjectName(QString("keyboard_picture_%1").arg(view));
    picture->setFixedSize(panel->minimumSize());

    const std::vector<KeyboardPictureLayout::Cap>& caps = view == 0 ? layout.keys : view == 1 ? layout.logo : layout.side;
    const char* prefix = view == 0 ? "key_" : view == 1 ? "logo_led_" : "side_led_";
    for (const KeyboardPictureLayout::Cap& cap : caps) {
        auto* button = new CKeyCapButtonUI(panel);
        button->setObjectName(QString("%1%2").arg(prefix).arg(cap.index));
        button->setProperty("userdata", QString("light_%1").arg(cap.index));
        button->SetLegend(QString::fromStdString(cap.legend));
        button->SetLamp(view != 0);
        button->setGeometry(ToRect(layout.Pixels(cap)));
        picture->AddLamp(button);
    }
    return int(caps.size());
}

} // namespace nq::pages
