#pragma once
// Battery and charging display of the charging mousepad. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CMpDevicePowerUI : public QWidget {
    Q_OBJECT
public:
    explicit CMpDevicePowerUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
