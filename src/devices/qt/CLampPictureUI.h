#pragma once
// A device picture that draws its lamps (key caps, LEDs) itself: one opaque widget over the
// selection panel and the lamp buttons on it, transparent for the mouse, so clicks, tooltips and
// drags reach the buttons below while only this widget is painted. A shown page's previews change
// the lamps' colours 20 times a second; what that costs is kept small:
//   - the picture without its lamps is drawn once into an image (again only on a size, scale or
//     style change);
//   - what lies over a lamp's light (its legend, label, selection ring, and the picture's own
//     pixels where the lit shape's antialiased edge lets them show) is drawn once per look into a
//     small image, drawn again only when the look changes;
//   - the whole picture is kept in a frame image; a lamp whose light changed is drawn again into
//     it as a few opaque rectangle fills (the lit colour blended over the picture below, computed
//     here) and that small image over them: no path, text or style sheet per frame;
//   - the lamps changed before the event loop turns are repainted with one update, which copies
//     those parts of the frame: one rectangle around each row of lamps (lamps of one top and
//     height), not a region of every lamp: the raster engine clips every operation against a
//     region of many rectangles, which costs several times the drawing itself, and a rectangle
//     around all lamps copies much more than the lamps of a pad's edge.
// The small image's edge pixels hold the picture's pixel times (1 - coverage) of the lit shape,
// so the fill below shows through exactly by its coverage, as an antialiased fill would.
// The picture also draws the selection panel's drag frame, which it covers.
#include <QImage>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace nq::pages {

class CLampButtonUI;

class CLampPictureUI : public QWidget {
    Q_OBJECT
public:
    // Covers `panel` from its top left corner; size it with setFixedSize or resize.
    explicit CLampPictureUI(QWidget* panel);

    // The picture draws `lamp` (a button on the same panel) from now on and lies above it.
    void AddLamp(CLampButtonUI* lamp);
    // Lamp `index` (its order of AddLamp) needs drawing again; the lamps asked for before the
    // event loop turns are repainted together.
    void Invalidate(int index);
    // A lamp moved or changed its size.
    void LampMoved();
    // Paints `lamp` as the picture shows it, at the painter's origin (a grab of the button alone).
    void PaintLampAlone(QPainter& painter, const CLampButtonUI& lamp);

protected:
    // The picture without its lamps, in this widget's coordinates.
    virtual void DrawStatic(QPainter& painter) = 0;
    // The part of a lamp that its light colours, in the lamp's coordinates.
    virtual QPainterPath LitShape(const CLampButtonUI& lamp) const = 0;
    // What lies over the light, drawn once per look in the lamp's coordinates (legend, ring...).
    virtual void DrawOverLight(QPainter& painter, const CLampButtonUI& lamp) = 0;
    // The colours of the light's parts over `below`, the picture's colour under the lit shape
    // (up to kMaxParts; returns how many). By default one: the light colour at its level.
    static constexpr int kMaxParts = 3;
    virtual int LightColours(const CLampButtonUI& lamp, QRgb below, QRgb* colours) const;
    // Fills the light's parts, each in its colour, over the lit shape's pixels `shape` (picture
    // coordinates), with rectangle fills only. By default the shape's rectangle in part 0.
    virtual void FillParts(QPainter& painter, const CLampButtonUI& lamp, const QRect& shape, const QColor* colours) const;

    // The colour the page shows around the picture: the window colour of the nearest widget
    // under it that has an opaque one (the panel is often transparent).
    QColor PageColour() const;
    // `over` at `level` (0-1) over the opaque colour `below`.
    static QColor Blend(QRgb below, const QColor& over, double level);
    // The light's level (0-1): 0 when the lamp shows no light.
    static double LightLevel(const CLampButtonUI& lamp);

    void paintEvent(QPaintEvent* event) override;
    // A new palette or style sheet draws the picture again.
    void changeEvent(QEvent* event) override;

private:
    struct Lamp {
        QPointer<CLampButtonUI> button;
        QRect place;        // picture coordinates
        bool dirty = true;  // the frame does not show its light yet
        // The look the image over the light was drawn for.
        int version = -1;
        QString text;
        bool enabled = true;
        bool selected = false;
        QSize size;
        qreal scale = 0;
        QImage overLight;
        QRgb below = 0;
        QRect shape; // lamp coordinates
        // The frame's pixels of the lamp (device pixels from its corner): runs of one part's
        // colour, and the pixels where the image over the light shows.
        struct Run {
            int offset, length, part; // offset: y * frame stride + x
        };
        struct Pixel {
            int offset, part; // in `fixed` part is -1 and `over` is the pixel as it is
            QRgb over;
        };
        std::vector<Run> runs;
        std::vector<Pixel> pixels;
        // Pixels where nothing of the light shows: they change only with the lamp's look, so
        // they are written when it was drawn again, not every frame.
        std::vector<Pixel> fixed;
        bool fixedDue = true;
    };
    bool EnsureStatic();
    void EnsurePlaces();
    // Draws the image over the light again when the lamp's look changed; true if it did.
    bool Refresh(Lamp& lamp, qreal scale, bool withText = true);
    // Draws the lamp into the frame image.
    void PaintLamp(Lamp& lamp, qreal scale);
    void FlushInvalid();
    QRect Place(const CLampButtonUI& lamp) const;

    QImage m_static;
    QImage m_frame;
    std::vector<Lamp> m_lamps;
    bool m_placesValid = false;
    std::vector<QRect> m_invalid; // by rows
    bool m_flushPending = false;
    // The next paint is a frame's (FlushInvalid asked for it), and how many frames were painted.
    bool m_framePaint = false;
    unsigned m_frames = 0;
};

} // namespace nq::pages
