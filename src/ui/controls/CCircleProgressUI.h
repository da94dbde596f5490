#pragma once
// Circular progress display. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CCircleProgressUI : public QWidget {
    Q_OBJECT
public:
    explicit CCircleProgressUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
