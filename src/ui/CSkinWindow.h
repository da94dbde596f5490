#pragma once
// A window built from a skin layout: the layout's root control fills the window, the window takes
// the root's size and title, and every notification of its controls reaches Notify (and then any
// further receiver added with AddNotifier). Windows are frameless like the skin draws them: the
// layout brings its own caption buttons ("closebtn", "minbtn", "maxbtn", "restorebtn", handled by
// HandleCaptionButton) and a press on the window's background moves it.
//
// A window runs modally with ShowModal, which returns the value passed to Close.
#include "ui/TNotify.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class QEventLoop;

namespace nq::ui {

class CSkinWindow : public QWidget, public INotifyUI {
    Q_OBJECT
public:
    enum class SysCommand { Minimize, Maximize, Restore, Close };

    // owner: the window this one belongs to (stays above it); toolWindow: no taskbar entry.
    explicit CSkinWindow(QWidget* owner = nullptr, bool toolWindow = false);
    ~CSkinWindow() override;

    // Builds the controls from the layout. On a missing or malformed layout a diagnostic is
    // written, the window stays empty and false is returned.
    bool LoadLayout(const QString& layoutName);
    QString LayoutName() const { return m_layoutName; }
    QWidget* Root() const { return m_root; }

    QWidget* FindControl(const QString& name) const;
    template <class T>
    T* Find(const QString& name) const
    {
        return qobject_cast<T*>(FindControl(name));
    }

    // Receives every notification of this window's controls; the default does nothing.
    void Notify(const TNotify& msg) override;
    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    // Called by the bridge: Notify first, then the added receivers in order.
    void DispatchNotify(const TNotify& msg);

    // Centres over the owner when it is visible, else on the owner's or the primary screen.
    void CenterWindow();
    int ShowModal();
    // Ends a modal run with result (the window hides), or closes a modeless window. Emits closed.
    void Close(int result = 0);
    bool IsModalRunning() const { return m_modalLoop != nullptr; }
    void SendSysCommand(SysCommand command);
    // "closebtn" closes with 0, "minbtn", "maxbtn" and "restorebtn" send their system command.
    // Returns true when msg was one of those clicks.
    bool HandleCaptionButton(const TNotify& msg);

    // Dots per inch of this window (96 = 100 %). Changing it scales the window's size, its fonts
    // and the fixed sizes of its controls; the layout's values stay the base, so going back to 96
    // restores them exactly.
    int Dpi() const { return m_dpi; }
    virtual void SetDpi(int dpi);
    // Applies the current DPI to the window's fonts and to the controls of root's subtree (the
    // whole window when root is nullptr); used after a sub-layout is loaded into the window.
    void ApplyDpiToContents(QWidget* root = nullptr);
    // Sets the DPI of every skin window of the application.
    static void SetAllWindowsDpi(int dpi);

signals:
    void closed(int result);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void UpdateMaxRestoreButtons();
    QWidget* NotifySource();

    QString m_layoutName;
    QPointer<QWidget> m_root;
    std::vector<INotifyUI*> m_notifiers;
    QEventLoop* m_modalLoop = nullptr;
    int* m_modalResult = nullptr;
    bool m_initRaised = false;
    bool m_closing = false;
    int m_dpi = 96;
};

} // namespace nq::ui
