#pragma once
// Pie and bar chart. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CChartViewUI : public QWidget {
    Q_OBJECT
public:
    explicit CChartViewUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
