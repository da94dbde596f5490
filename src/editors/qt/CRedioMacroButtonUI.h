#pragma once
// The recording indicator of the macro editor ("RedioMacroButton"): while its timer 100 runs
// (every 50 ms) the indicator image ("redioimage") fades between 80 and 255 in steps of 20.
#include <QPushButton>

class QTimer;

namespace nq::pages {

class CRedioMacroButtonUI : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString redioimage READ RedioImage WRITE SetRedioImage)
public:
    static constexpr const char* kClassName = "RedioMacroButton";
    static constexpr int kTimerId = 100;
    static constexpr int kPeriodMs = 50;

    explicit CRedioMacroButtonUI(QWidget* parent = nullptr);

    QString RedioImage() const { return m_image; }
    void SetRedioImage(const QString& image) { m_image = image; }
    void StartIndicator();
    void StopIndicator();
    bool IsIndicatorRunning() const;
    // One tick of the fade.
    void Tick();
    int Fade() const { return m_fade; }
    // The foreground image description of the current fade.
    QString ForeImage() const;

private:
    QString m_image;
    int m_fade = 255;
    bool m_rising = false;
    QTimer* m_timer = nullptr;
};

} // namespace nq::pages
