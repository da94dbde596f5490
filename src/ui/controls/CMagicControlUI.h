#pragma once
// Magic-key editor panel. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CMagicControlUI : public QWidget {
    Q_OBJECT
public:
    explicit CMagicControlUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
