#pragma once
// Page container of a device. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CKelvaskUSBDevice : public QWidget {
    Q_OBJECT
public:
    explicit CKelvaskUSBDevice(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
