#pragma once
// The keyboard picture drawn from the layout data (KeyboardPictureLayout): a case, key caps with
// their legends at their real positions and widths, and the logo and side LEDs.
//
// CKeyCapButtonUI is a "DeviceKeyButton" for one key cap (or LED) of the picture. Its text is the
// label of the key's assignment; a key whose assignment differs from the factory one also shows
// that label under its legend. CKeyboardPictureUI, one opaque widget over a view's buttons,
// draws them all (see CLampPictureUI): the case and, on the logo and side views, the keys as a dim
// outline and the LEDs' sockets once; each cap's legend, label and selection ring once per look;
// the light as runs of three colours per cap and frame.
#include "devices/KeyboardPictureLayout.h"
#include "devices/qt/CLampButtonUI.h"
#include "devices/qt/CLampPictureUI.h"

namespace nq::pages {

class CKeyCapButtonUI : public CLampButtonUI {
    Q_OBJECT
public:
    explicit CKeyCapButtonUI(QWidget* parent = nullptr);

    void SetLegend(const QString& legend);
    QString Legend() const { return m_legend; }
    // The key's assignment differs from its factory one: the label is shown under the legend.
    void SetRemapped(bool remapped);
    // The label of the key's assignment (the button's text) and whether it is re-assigned.
    void SetLabel(const QString& label, bool remapped);
    bool IsRemapped() const { return m_remapped; }
    // An LED rather than a key: no legend, a round lamp.
    void SetLamp(bool lamp);
    bool IsLamp() const { return m_lamp; }

private:
    QString m_legend;
    bool m_remapped = false;
    bool m_lamp = false;
};

class CKeyboardPictureUI : public CLampPictureUI {
    Q_OBJECT
public:
    // View 0 draws key caps; views 1 (logo) and 2 (side) their LEDs over the keys' dim outline.
    CKeyboardPictureUI(const KeyboardPictureLayout& layout, int view, QWidget* panel);

protected:
    void DrawStatic(QPainter& painter) override;
    QPainterPath LitShape(const CLampButtonUI& lamp) const override;
    void DrawOverLight(QPainter& painter, const CLampButtonUI& lamp) override;
    int LightColours(const CLampButtonUI& lamp, QRgb below, QRgb* colours) const override;
    void FillParts(QPainter& painter, const CLampButtonUI& lamp, const QRect& shape, const QColor* colours) const override;

private:
    KeyboardPictureLayout m_layout;
    int m_view;
};

// Fills a picture panel of view 0 (keys: "key_N" with user data "light_N"), 1 (logo LEDs
// "logo_led_N") or 2 (side LEDs "side_led_N") from the layout, unless the panel already holds key
// buttons. Returns the number of buttons made.
int BuildKeyboardPicture(QWidget* panel, int view, const KeyboardPictureLayout& layout);

} // namespace nq::pages
