#pragma once
// Macro editor panel. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CMacroControlUI : public QWidget {
    Q_OBJECT
public:
    explicit CMacroControlUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
