#pragma once
// Page container of the headset. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CKelvaskVA6533Device : public QWidget {
    Q_OBJECT
public:
    explicit CKelvaskVA6533Device(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
