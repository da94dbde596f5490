#pragma once
// The main window: built from the layout "XML_MAIN", titled "NQ501", created 800 x 572 and
// centred. It receives the notifications of its controls and the inter-process messages.
#include "ui/CSkinWindow.h"

namespace nq::app {

class CMainWnd : public ui::CSkinWindow {
    Q_OBJECT
public:
    static constexpr int kInitialWidth = 800;
    static constexpr int kInitialHeight = 572;

    explicit CMainWnd(QWidget* parent = nullptr);

    // Builds the window; false when its layout cannot be loaded.
    bool Create();
    void Notify(const ui::TNotify& msg) override;
    // A named message from another process (or from this one).
    void OnAppMessage(const QString& name, quintptr wParam, qintptr lParam);
    void BringToFront();
};

} // namespace nq::app
