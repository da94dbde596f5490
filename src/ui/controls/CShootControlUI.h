#pragma once
// Recoil editor panel. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CShootControlUI : public QWidget {
    Q_OBJECT
public:
    explicit CShootControlUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
