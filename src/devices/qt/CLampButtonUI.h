#pragma once
// A key or LED of a device picture that the picture above it draws (CLampPictureUI). The button
// stays a real "DeviceKeyButton" under the picture: its name, geometry, clicks, tooltip and
// selection work as for any other; the picture is transparent for the mouse. It paints nothing
// on screen itself (the opaque picture covers it), and a change of its light only asks the
// picture to repaint its rectangle; the picture repaints all changed lamps of a frame at once.
#include "devices/qt/CLampPictureUI.h"
#include "editors/qt/CDeviceKeyButtonUI.h"

#include <QPointer>

namespace nq::pages {

class CLampButtonUI : public CDeviceKeyButtonUI {
    Q_OBJECT
public:
    explicit CLampButtonUI(QWidget* parent = nullptr);

    // The picture that draws this button, and the button's number there.
    void SetPicture(CLampPictureUI* picture, int index);
    CLampPictureUI* Picture() const { return m_picture; }
    // Counts the changes of what the picture draws once per look (legend, label, selection...);
    // the light's changes are not counted.
    int LookVersion() const { return m_lookVersion; }
    // Selected by the device page's own mark (property "selectedKey") or by the selection panel.
    bool ShowsSelected() const { return IsKeySelected() || m_selectedKey; }

protected:
    void LightChanged() override;
    // What the picture draws once per look changed: it is drawn again with the next repaint.
    // (The button's own repaints never show: the opaque picture over it takes them away.)
    void LookChanged() override;
    bool event(QEvent* event) override;
    // Paints the button alone (a grab of just this button) as the picture shows it.
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<CLampPictureUI> m_picture;
    int m_index = -1;
    int m_lookVersion = 0;
    bool m_selectedKey = false;
};

} // namespace nq::pages
