#pragma once
// List row with two texts and a delay edit. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CComboEditContainerElementUI : public QWidget {
    Q_OBJECT
public:
    explicit CComboEditContainerElementUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
