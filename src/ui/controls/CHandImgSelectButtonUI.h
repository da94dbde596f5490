#pragma once
// Selectable picture button with a small delete area. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CHandImgSelectButtonUI : public QWidget {
    Q_OBJECT
public:
    explicit CHandImgSelectButtonUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
