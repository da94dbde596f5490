#pragma once
// Button standing for one key or LED on a device picture. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CDeviceKeyButtonUI : public QWidget {
    Q_OBJECT
public:
    explicit CDeviceKeyButtonUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
