#include "devices/qt/CLampPictureUI.h"

#include "devices/qt/CLampButtonUI.h"
#include "editors/qt/CSelectPanelUI.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cwchar>
#include <utility>

namespace nq::pages {

namespace {

// The raster engine hands a copy of more than about 32,000 pixels to its thread pool, and waking
// those threads twenty times a second costs more than the copy: large areas go in strips.
constexpr int kStripPixels = 16000;

// Copies `area` (logical coordinates) of `image` to the same place on `painter`.
void CopyImage(QPainter& painter, const QImage& image, const QRect& area, const QPoint& to)
{
    const qreal scale = image.devicePixelRatio();
    const int stripHeight = std::max(1, kStripPixels / std::max(1, area.width()));
    for (int y = area.top(); y <= area.bottom(); y += stripHeight) {
        const QRect strip(area.left(), y, area.width(), std::min(stripHeight, area.bottom() + 1 - y));
        const QRectF source(QPointF(strip.topLeft()) * scale, QSizeF(strip.size()) * scale);
        painter.drawImage(QRectF(strip.translated(to - area.topLeft())), image, source);
    }
}

} // namespace

CLampPictureUI::CLampPictureUI(QWidget* panel) : QWidget(panel)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    move(0, 0);
}

void CLampPictureUI::AddLamp(CLampButtonUI* lamp)
{
    if (!lamp)
        return;
    Lamp entry;
    entry.button = lamp;
    m_lamps.push_back(entry);
    lamp->SetPicture(this, int(m_lamps.size()) - 1);
    raise();
    LampMoved();
}

QRect CLampPictureUI::Place(const CLampButtonUI& lamp) const
{
    return lamp.geometry().translated(-pos());
}

void CLampPictureUI::LampMoved()
{
    m_placesValid = false;
    m_frame = QImage(); // drawn again whole
    update();
}

void CLampPictureUI::EnsurePlaces()
{
    if (m_placesValid)
        return;
    m_placesValid = true;
    for (Lamp& lamp : m_lamps)
        if (lamp.button)
            lamp.place = Place(*lamp.button);
}

// ---- repaints ----

void CLampPictureUI::Invalidate(int index)
{
    if (index < 0 || size_t(index) >= m_lamps.size())
        return;
    Lamp& lamp = m_lamps[size_t(index)];
    lamp.dirty = true;
    if (!isVisible())
        return; // the whole picture is painted when it shows
    EnsurePlaces();
    const auto row = std::find_if(m_invalid.begin(), m_invalid.end(), [&](const QRect& area) {
        return area.top() == lamp.place.top() && area.bottom() == lamp.place.bottom();
    });
    if (row != m_invalid.end())
        *row |= lamp.place;
    else
        m_invalid.push_back(lamp.place);
    if (!m_flushPending) {
        m_flushPending = true;
        QMetaObject::invokeMethod(this, &CLampPictureUI::FlushInvalid, Qt::QueuedConnection);
    }
}

void CLampPictureUI::FlushInvalid()
{
    m_flushPending = false;
    m_framePaint = true;
    // The rectangle around all rows when they fill most of it (a keyboard's) or are many.
    constexpr size_t kMostRows = 12;
    QRegion region;
    QRect bounds;
    qint64 area = 0;
    for (const QRect& row : m_invalid) {
        region += row;
        bounds |= row;
        area += qint64(row.width()) * row.height();
    }
    if (m_invalid.size() > kMostRows || 2 * area >= qint64(bounds.width()) * bounds.height())
        update(bounds);
    else
        update(region);
    m_invalid.clear();
}

void CLampPictureUI::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        m_static = QImage();
        update();
    }
    QWidget::changeEvent(event);
}

// ---- the static picture ----

QColor CLampPictureUI::PageColour() const
{
    for (const QWidget* below = parentWidget(); below; below = below->parentWidget()) {
        const QColor colour = below->palette().color(QPalette::Window);
        if (colour.alpha() == 255)
            return colour;
    }
    return palette().color(QPalette::Window);
}

bool CLampPictureUI::EnsureStatic()
{
    const qreal scale = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * scale).toSize();
    if (!m_static.isNull() && m_static.size() == pixels && m_static.devicePixelRatio() == scale)
        return false;
    m_static = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_static.setDevicePixelRatio(scale);
    m_static.fill(Qt::black);
    QPainter painter(&m_static);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawStatic(painter);
    for (Lamp& lamp : m_lamps)
        lamp.version = -1; // their images hold the old picture's pixels
    return true;
}

// ---- lamps ----

QColor CLampPictureUI::Blend(QRgb below, const QColor& over, double level)
{
    const double keep = 1 - level;
    return QColor(int(qRed(below) * keep + over.red() * level + 0.5), int(qGreen(below) * keep + over.green() * level + 0.5),
                  int(qBlue(below) * keep + over.blue() * level + 0.5));
}

double CLampPictureUI::LightLevel(const CLampButtonUI& lamp)
{
    return lamp.ShowsLight() ? lamp.LightColour().alphaF() : 0.0;
}

int CLampPictureUI::LightColours(const CLampButtonUI& lamp, QRgb below, QRgb* colours) const
{
    colours[0] = Blend(below, lamp.LightColour(), LightLevel(lamp)).rgb();
    return 1;
}

void CLampPictureUI::FillParts(QPainter& painter, const CLampButtonUI& lamp, const QRect& shape, const QColor* colours) const
{
    painter.fillRect(shape, colours[0]);
}

bool CLampPictureUI::Refresh(Lamp& lamp, qreal scale, bool withText)
{
    const CLampButtonUI& button = *lamp.button;
    const QString text = withText ? button.text() : lamp.text;
    if (lamp.version == button.LookVersion() && lamp.text == text && lamp.enabled == button.isEnabled() &&
        lamp.selected == button.ShowsSelected() && lamp.size == button.size() && lamp.scale == scale)
        return false;
    lamp.version = button.LookVersion();
    lamp.text = text;
    lamp.enabled = button.isEnabled();
    lamp.selected = button.ShowsSelected();
    lamp.size = button.size();
    lamp.scale = scale;

    const QPainterPath shape = LitShape(button);
    lamp.shape = shape.boundingRect().toAlignedRect() & QRect(QPoint(), button.size());

    // The lit shape's coverage of each pixel, and which part of the light fills each pixel
    // (blue 1 + the part's number, 0 for none).
    const QSize pixels = (QSizeF(button.size()) * scale).toSize();
    QImage coverage(pixels, QImage::Format_ARGB32_Premultiplied);
    coverage.setDevicePixelRatio(scale);
    coverage.fill(Qt::transparent);
    QImage parts(pixels, QImage::Format_RGB32);
    parts.setDevicePixelRatio(scale);
    parts.fill(Qt::black);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(shape, Qt::black);
        QColor marks[kMaxParts];
        for (int i = 0; i < kMaxParts; ++i)
            marks[i] = QColor(0, 0, 1 + i);
        QPainter fill(&parts);
        FillParts(fill, button, lamp.shape, marks);
    }
    // Over the fill: the picture's pixels where the shape does not cover them.
    const QPoint origin = (QPointF(Place(button).topLeft()) * scale).toPoint();
    const QRect inside = m_static.rect();
    lamp.overLight = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    lamp.overLight.setDevicePixelRatio(scale);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* covered = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(lamp.overLight.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const QPoint at = origin + QPoint(x, y);
            const QRgb picture = inside.contains(at) ? m_static.pixel(at) : qRgb(0, 0, 0);
            const int keep = 255 - qAlpha(covered[x]);
            out[x] = qRgba(qRed(picture) * keep / 255, qGreen(picture) * keep / 255, qBlue(picture) * keep / 255, keep);
        }
    }
    const QPoint centre = origin + (QPointF(lamp.shape.center()) * scale).toPoint();
    lamp.below = inside.contains(centre) ? m_static.pixel(centre) : qRgb(0, 0, 0);
    {
        QPainter painter(&lamp.overLight);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawOverLight(painter, button);
    }

    // The frame's pixels: runs of a part where nothing lies over it, single pixels elsewhere.
    lamp.runs.clear();
    lamp.pixels.clear();
    lamp.fixed.clear();
    lamp.fixedDue = true;
    if (m_frame.isNull())
        return true; // made with the frame
    const int stride = int(m_frame.bytesPerLine() / qsizetype(sizeof(QRgb)));
    for (int y = 0; y < pixels.height(); ++y) {
        if (!inside.contains(QPoint(origin.x(), origin.y() + y)))
            continue;
        const auto* over = reinterpret_cast<const QRgb*>(lamp.overLight.constScanLine(y));
        const auto* part = reinterpret_cast<const QRgb*>(parts.constScanLine(y));
        for (int x = 0; x < pixels.width() && origin.x() + x < inside.width(); ++x) {
            if (origin.x() + x < 0)
                continue;
            const int number = qBlue(part[x]) - 1;
            if (number >= 0 && qAlpha(over[x]) == 0) {
                if (!lamp.runs.empty() && lamp.runs.back().part == number &&
                    lamp.runs.back().offset + lamp.runs.back().length == y * stride + x)
                    ++lamp.runs.back().length;
                else
                    lamp.runs.push_back({y * stride + x, 1, number});
            } else if (number >= 0 && qAlpha(over[x]) < 255) {
                lamp.pixels.push_back({y * stride + x, number, over[x]});
            } else {
                // Nothing of the light shows: the pixel is the image over the picture.
                const QRgb picture = m_static.pixel(origin + QPoint(x, y));
                const int through = 255 - qAlpha(over[x]);
                lamp.fixed.push_back({y * stride + x, -1,
                                       qRgb(qRed(over[x]) + qRed(picture) * through / 255,
                                            qGreen(over[x]) + qGreen(picture) * through / 255,
                                            qBlue(over[x]) + qBlue(picture) * through / 255)});
            }
        }
    }
    return true;
}

void CLampPictureUI::PaintLamp(Lamp& lamp, qreal scale)
{
    QRgb colours[kMaxParts];
    LightColours(*lamp.button, lamp.below, colours);
    for (QRgb& colour : colours)
        colour |= 0xFF000000u;
    const QPoint origin = (QPointF(lamp.place.topLeft()) * scale).toPoint();
    const qsizetype stride = m_frame.bytesPerLine() / qsizetype(sizeof(QRgb));
    auto* corner = reinterpret_cast<QRgb*>(m_frame.bits()) + origin.y() * stride + origin.x();
    // wmemset fills 32-bit words with the C library's vector code; a plain loop does not.
    static_assert(sizeof(wchar_t) == sizeof(QRgb));
    for (const Lamp::Run& run : lamp.runs)
        wmemset(reinterpret_cast<wchar_t*>(corner + run.offset), static_cast<wchar_t>(colours[run.part]), size_t(run.length));
    if (std::exchange(lamp.fixedDue, false))
        for (const Lamp::Pixel& pixel : lamp.fixed)
            corner[pixel.offset] = pixel.over | 0xFF000000u;
    // The image over the light is premultiplied: its colour plus what it lets through.
    auto through = [](int below, int keep) { return (below * keep + 128 + ((below * keep + 128) >> 8)) >> 8; };
    for (const Lamp::Pixel& pixel : lamp.pixels) {
        QRgb& out = corner[pixel.offset];
        const QRgb below = colours[pixel.part];
        const int keep = 255 - qAlpha(pixel.over);
        out = qRgb(qRed(pixel.over) + through(qRed(below), keep), qGreen(pixel.over) + through(qGreen(below), keep),
                   qBlue(pixel.over) + through(qBlue(below), keep));
    }
}

void CLampPictureUI::PaintLampAlone(QPainter& painter, const CLampButtonUI& button)
{
    EnsureStatic();
    EnsurePlaces();
    for (Lamp& lamp : m_lamps) {
        if (lamp.button != &button)
            continue;
        Refresh(lamp, devicePixelRatioF());
        CopyImage(painter, m_static, lamp.place, QPoint());
        QRgb colours[kMaxParts];
        QColor fills[kMaxParts];
        const int count = LightColours(button, lamp.below, colours);
        for (int i = 0; i < count; ++i)
            fills[i] = QColor(colours[i]);
        FillParts(painter, button, lamp.shape, fills);
        painter.drawImage(QPoint(), lamp.overLight);
        return;
    }
}

void CLampPictureUI::paintEvent(QPaintEvent* event)
{
    const qreal scale = devicePixelRatioF();
    bool whole = EnsureStatic();
    EnsurePlaces();
    if (whole || m_frame.isNull() || m_frame.size() != m_static.size() || m_frame.devicePixelRatio() != scale) {
        m_frame = m_static.convertToFormat(QImage::Format_RGB32);
        m_frame.setDevicePixelRatio(scale);
        whole = true;
        for (Lamp& lamp : m_lamps)
            lamp.version = -1; // their runs hold the old frame's stride
    }
    // Bring the frame up to date where it is shown: the lamps whose light or look changed.
    const QRect bounds = event->region().boundingRect();
    // A frame's paint reads the labels of the lamps it repaints for their light in turns, a
    // quarter each frame (reading every button's text costs more than the rest of its look);
    // any other paint, and the lamps only in the area, read them all.
    const bool frame = std::exchange(m_framePaint, false);
    const unsigned turn = frame ? ++m_frames : 0;
    for (size_t i = 0; i < m_lamps.size(); ++i) {
        Lamp& lamp = m_lamps[i];
        if (!lamp.button || lamp.button->isHidden() || !(lamp.dirty || whole || lamp.place.intersects(bounds)))
            continue;
        const bool text = !frame || !lamp.dirty || (i + turn) % 4 == 0;
        if (!Refresh(lamp, scale, text) && !lamp.dirty && !whole && !lamp.fixedDue)
            continue;
        PaintLamp(lamp, scale);
        lamp.dirty = false;
    }
    QPainter painter(this);
    for (const QRect& area : event->region())
        CopyImage(painter, m_frame, area, area.topLeft());
    auto* panel = qobject_cast<CSelectPanelUI*>(parentWidget());
    if (!panel || !panel->IsDragging())
        return;
    painter.setBrush(QColor::fromRgba(CSelectPanelUI::kFillColour));
    painter.setPen(QPen(QColor::fromRgba(CSelectPanelUI::kOutlineColour), 2));
    painter.drawRect(panel->SelectionRect().translated(-pos()));
}

} // namespace nq::pages
