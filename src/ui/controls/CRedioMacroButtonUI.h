#pragma once
// Recording indicator of the macro editor. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CRedioMacroButtonUI : public QWidget {
    Q_OBJECT
public:
    explicit CRedioMacroButtonUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
