#pragma once
// Device tab of the device selector; hosts its device's timers. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CDeviceOptionUI : public QWidget {
    Q_OBJECT
public:
    explicit CDeviceOptionUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
