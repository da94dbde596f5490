#include "ui/CSkinWindow.h"

#include "ui/CControlAccess.h"
#include "ui/CFontTable.h"
#include "ui/CNotifyBridge.h"
#include "ui/CSkinLoader.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace nq::ui {

CSkinWindow::CSkinWindow(QWidget* owner, bool toolWindow)
    : QWidget(owner, (toolWindow ? Qt::Tool : Qt::Window) | Qt::FramelessWindowHint)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

CSkinWindow::~CSkinWindow()
{
    if (m_modalLoop)
        m_modalLoop->exit();
}

bool CSkinWindow::LoadLayout(const QString& layoutName)
{
    m_layoutName = layoutName;
    QWidget* root = CSkinLoader::Load(layoutName, this);
    if (!root)
        return false;
    delete m_root.data();
    m_root = root;
    QSize size = root->size();
    layout()->addWidget(root);
    root->show();
    if (!root->windowTitle().isEmpty())
        setWindowTitle(root->windowTitle());
    if (m_dpi != 96) {
        ApplyDpiToContents();
        size = size * m_dpi / 96;
    }
    if (size.isValid() && !size.isEmpty())
        resize(size);
    return true;
}

QWidget* CSkinWindow::FindControl(const QString& name) const
{
    return CControlAccess::FindControl(const_cast<CSkinWindow*>(this), name);
}

void CSkinWindow::Notify(const TNotify&) {}

void CSkinWindow::AddNotifier(INotifyUI* notifier)
{
    if (notifier && std::find(m_notifiers.begin(), m_notifiers.end(), notifier) == m_notifiers.end())
        m_notifiers.push_back(notifier);
}

void CSkinWindow::RemoveNotifier(INotifyUI* notifier)
{
    m_notifiers.erase(std::remove(m_notifiers.begin(), m_notifiers.end(), notifier), m_notifiers.end());
}

void CSkinWindow::DispatchNotify(const TNotify& msg)
{
    QPointer<CSkinWindow> guard(this);
    Notify(msg);
    // A receiver may remove itself or close the window while it handles the notification.
    const std::vector<INotifyUI*> receivers = m_notifiers;
    for (INotifyUI* receiver : receivers) {
        if (!guard)
            return;
        if (std::find(m_notifiers.begin(), m_notifiers.end(), receiver) != m_notifiers.end())
            receiver->Notify(msg);
    }
}

void CSkinWindow::CenterWindow()
{
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible() && !owner->isMinimized())
        area = owner->frameGeometry();
    else {
        QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen)
            area = screen->availableGeometry();
    }
    if (!area.isValid())
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

int CSkinWindow::ShowModal()
{
    if (m_modalLoop)
        return 0;
    int result = 0;
    QEventLoop loop;
    m_modalLoop = &loop;
    m_modalResult = &result;
    m_closing = false;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QPointer<CSkinWindow> guard(this);
    loop.exec(QEventLoop::DialogExec);
    if (guard) {
        m_modalLoop = nullptr;
        m_modalResult = nullptr;
        hide();
        setWindowModality(Qt::NonModal);
    }
    return result;
}

void CSkinWindow::Close(int result)
{
    bool modal = m_modalLoop != nullptr;
    if (m_modalResult)
        *m_modalResult = result;
    if (m_modalLoop)
        m_modalLoop->exit();
    m_closing = true;
    if (modal)
        hide();
    else
        close();
    m_closing = false;
    emit closed(result);
}

void CSkinWindow::SendSysCommand(SysCommand command)
{
    switch (command) {
    case SysCommand::Minimize:
        showMinimized();
        break;
    case SysCommand::Maximize:
        showMaximized();
        break;
    case SysCommand::Restore:
        showNormal();
        break;
    case SysCommand::Close:
        close();
        break;
    }
}

bool CSkinWindow::HandleCaptionButton(const TNotify& msg)
{
    if (msg.type != "click")
        return false;
    const QString name = msg.SenderName();
    if (name == "closebtn")
        Close(0);
    else if (name == "minbtn")
        SendSysCommand(SysCommand::Minimize);
    else if (name == "maxbtn")
        SendSysCommand(SysCommand::Maximize);
    else if (name == "restorebtn")
        SendSysCommand(SysCommand::Restore);
    else
        return false;
    return true;
}

void CSkinWindow::SetDpi(int dpi)
{
    if (dpi <= 0 || dpi == m_dpi)
        return;
    QSize scaled = size() * dpi / m_dpi;
    m_dpi = dpi;
    ApplyDpiToContents();
    if (!isMaximized() && !isFullScreen())
        resize(scaled);
}

namespace {

int ScaleLength(int length, int dpi)
{
    if (length <= 0 || length >= QWIDGETSIZE_MAX)
        return length;
    return qMin(QWIDGETSIZE_MAX, (length * dpi + 48) / 96);
}

QSize ScaleSize(QSize size, int dpi)
{
    return QSize(ScaleLength(size.width(), dpi), ScaleLength(size.height(), dpi));
}

void ScaleControl(QWidget* control, int dpi)
{
    QVariant baseMin = control->property("nqBaseMinSize");
    if (!baseMin.isValid()) {
        if (dpi == 96)
            return; // never scaled: nothing to restore
        baseMin = control->minimumSize();
        control->setProperty("nqBaseMinSize", baseMin);
        control->setProperty("nqBaseMaxSize", control->maximumSize());
    }
    control->setMinimumSize(ScaleSize(baseMin.toSize(), dpi));
    control->setMaximumSize(ScaleSize(control->property("nqBaseMaxSize").toSize(), dpi));
}

} // namespace

void CSkinWindow::ApplyDpiToContents(QWidget* root)
{
    if (!root) {
        root = this;
        if (m_dpi != 96 || testAttribute(Qt::WA_SetFont))
            setFont(CFontTable::ScaleFont(CFontTable::Instance().DefaultFont(), m_dpi));
    }
    if (root != this)
        ScaleControl(root, m_dpi);
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* child : children)
        ScaleControl(child, m_dpi);
    CFontTable::Instance().ApplyFonts(root);
}

void CSkinWindow::SetAllWindowsDpi(int dpi)
{
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (auto* skin = qobject_cast<CSkinWindow*>(window))
            skin->SetDpi(dpi);
}

QWidget* CSkinWindow::NotifySource()
{
    return m_root ? m_root.data() : static_cast<QWidget*>(this);
}

void CSkinWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_initRaised)
        return;
    m_initRaised = true;
    // Raised once the window is on screen, as the first notification it gets.
    QTimer::singleShot(0, this, [this] { CNotifyBridge::Raise(NotifySource(), "windowinit"); });
}

void CSkinWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_initRaised)
        CNotifyBridge::Raise(NotifySource(), "windowsize", static_cast<quintptr>(width()), height());
}

void CSkinWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        UpdateMaxRestoreButtons();
}

void CSkinWindow::closeEvent(QCloseEvent* event)
{
    // Closed from outside its own buttons (window manager, keyboard): a modal run ends with 0.
    if (m_modalLoop && !m_closing) {
        Close(0);
        event->accept();
        return;
    }
    QWidget::closeEvent(event);
}

void CSkinWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && windowHandle() && !isMaximized()) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CSkinWindow::UpdateMaxRestoreButtons()
{
    QWidget* maxButton = FindControl("maxbtn");
    QWidget* restoreButton = FindControl("restorebtn");
    if (!maxButton || !restoreButton)
        return;
    maxButton->setVisible(!isMaximized());
    restoreButton->setVisible(isMaximized());
}

} // namespace nq::ui
