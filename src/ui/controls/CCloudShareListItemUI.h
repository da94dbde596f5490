#pragma once
// Row of the cloud-share list. For now a plain container that the layouts can name; its behaviour comes with its page.
#include <QWidget>

namespace nq::ui {

class CCloudShareListItemUI : public QWidget {
    Q_OBJECT
public:
    explicit CCloudShareListItemUI(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace nq::ui
