#pragma once
// Page container of a mousepad. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CKelvaskMousePadDevice : public QWidget {
    Q_OBJECT
public:
    explicit CKelvaskMousePadDevice(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
