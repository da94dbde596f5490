#pragma once
// Headset sound editor panel. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CVoice6533ControlUI : public QWidget {
    Q_OBJECT
public:
    explicit CVoice6533ControlUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
