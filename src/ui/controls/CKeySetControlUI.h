#pragma once
// Key assignment editor panel. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CKeySetControlUI : public QWidget {
    Q_OBJECT
public:
    explicit CKeySetControlUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
