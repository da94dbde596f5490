#pragma once
// Row of the update list. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CUpdateInfoListItemUI : public QWidget {
    Q_OBJECT
public:
    explicit CUpdateInfoListItemUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
