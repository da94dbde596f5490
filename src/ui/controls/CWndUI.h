#pragma once
// Host of a native child window. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CWndUI : public QWidget {
    Q_OBJECT
public:
    explicit CWndUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
