#pragma once
// Profile list panel of a device page. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CDeviceProfileUI : public QWidget {
    Q_OBJECT
public:
    explicit CDeviceProfileUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
