#pragma once
// The keyboard picture drawn from the layout data (KeyboardPictureLayout): a case, key caps with
// their legends at their real positions and widths, and the logo and side LEDs.
//
// CKeyCapButtonUI is a "DeviceKeyButton" that looks like a key cap: its legend in white on a dark
// cap lit from below by the previewed colour. Its text is the label of the key's assignment; a key
// whose assignment differs from the factory one also shows that label under its legend.
// CKeyboardCaseUI paints the case and, on the logo and side views, the keys as a dim outline.
#include "devices/KeyboardPictureLayout.h"
#include "editors/qt/CDeviceKeyButtonUI.h"

#include <QWidget>

namespace nq::pages {

class CKeyCapButtonUI : public CDeviceKeyButtonUI {
    Q_OBJECT
public:
    explicit CKeyCapButtonUI(QWidget* parent = nullptr);

    void SetLegend(const QString& legend);
    QString Legend() const { return m_legend; }
    // The key's assignment differs from its factory one: the label is shown under the legend.
    void SetRemapped(bool remapped);
    bool IsRemapped() const { return m_remapped; }
    // An LED rather than a key: no legend, a round lamp.
    void SetLamp(bool lamp) { m_lamp = lamp; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_legend;
    bool m_remapped = false;
    bool m_lamp = false;
};

class CKeyboardCaseUI : public QWidget {
    Q_OBJECT
public:
    CKeyboardCaseUI(const KeyboardPictureLayout& layout, bool ghostKeys, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    KeyboardPictureLayout m_layout;
    bool m_ghostKeys;
};

// Fills a picture panel of view 0 (keys: "key_N" with user data "light_N"), 1 (logo LEDs
// "logo_led_N") or 2 (side LEDs "side_led_N") from the layout, unless the panel already holds key
// buttons. Returns the number of buttons made.
int BuildKeyboardPicture(QWidget* panel, int view, const KeyboardPictureLayout& layout);

} // namespace nq::pages
