#pragma once
// A key or LED on a device picture ("DeviceKeyButton"): a button that also shows the LED's light
// colour and, on request, the key's assignment image. The selection panel marks it selected.
// Skin properties: "lightimage" and "keysetimage" (image descriptions).
#include <QColor>
#include <QPushButton>

namespace nq::pages {

class CDeviceKeyButtonUI : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString lightimage READ LightImage WRITE SetLightImage)
    Q_PROPERTY(QString keysetimage READ KeySetImage WRITE SetKeySetImage)
public:
    static constexpr const char* kClassName = "DeviceKeyButton";

    explicit CDeviceKeyButtonUI(QWidget* parent = nullptr);

    QString LightImage() const { return m_lightImage; }
    void SetLightImage(const QString& description);
    QString KeySetImage() const { return m_keySetImage; }
    void SetKeySetImage(const QString& description);

    // colour as the devices pack it: red | blue << 8 | green << 16; level 0-255.
    void SetLightColour(uint32_t colour, uint8_t level, bool show);
    QColor LightColour() const { return m_lightColour; }
    bool ShowsLight() const { return m_showLight; }
    void SetHideAssignmentImage(bool hide);
    bool HidesAssignmentImage() const { return m_hideAssignment; }

    void SetKeySelected(bool selected);
    bool IsKeySelected() const { return m_keySelected; }

protected:
    // The light colour or its showing changed, or the rest of the look (selection, images):
    // repaints the button (a picture that draws its buttons repaints their rectangle instead).
    virtual void LightChanged() { update(); }
    virtual void LookChanged() { update(); }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_lightImage;
    QString m_keySetImage;
    QColor m_lightColour{Qt::white};
    bool m_showLight = false;
    bool m_hideAssignment = true;
    bool m_keySelected = false;
    int m_fade = 255;
    int m_fadeSelected = 200;
};

} // namespace nq::pages
