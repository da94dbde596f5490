#pragma once
// Panel on which the user drags a rectangle over key buttons. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CSelectPanelUI : public QWidget {
    Q_OBJECT
public:
    explicit CSelectPanelUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
