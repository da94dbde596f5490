#include "ui/CNotifyBridge.h"

#include "ui/CControlAccess.h"
#include "ui/CSkinWindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDial>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTextEdit>
#include <QVariant>

namespace nq::ui {
namespace {

int g_silence = 0;

bool WantsMouseNotes(QWidget* control)
{
    return qobject_cast<QAbstractButton*>(control) || control->property("notifyMouse").toBool();
}

bool WantsFocusNotes(QWidget* control)
{
    return qobject_cast<QLineEdit*>(control) || qobject_cast<QTextEdit*>(control) ||
           qobject_cast<QPlainTextEdit*>(control) || control->property("notifyFocus").toBool();
}

void BindButton(QAbstractButton* button)
{
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [button] { CNotifyBridge::Raise(button, "click"); });
    QObject::connect(button, &QAbstractButton::toggled, button, [button](bool on) {
        // A bound option shows its page whether or not the change is announced.
        if (on)
            CControlAccess::ShowBoundPage(button);
        CNotifyBridge::Raise(button, "selectchanged", on ? 1 : 0);
    });
    QString group = button->property("group").toString();
    if (!group.isEmpty())
        CControlAccess::SetGroup(button, group);
}

void BindSlider(QAbstractSlider* slider)
{
    QObject::connect(slider, &QAbstractSlider::valueChanged, slider, [slider](int value) {
        CNotifyBridge::Raise(slider, slider->isSliderDown() ? "movevaluechanged" : "valuechanged",
                             static_cast<quintptr>(value));
    });
    QObject::connect(slider, &QAbstractSlider::sliderReleased, slider, [slider] {
        CNotifyBridge::Raise(slider, "valuechanged", static_cast<quintptr>(slider->value()));
    });
}

void BindCombo(QComboBox* combo)
{
    combo->setProperty("nqLastIndex", combo->currentIndex());
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [combo](int index) {
        int previous = combo->property("nqLastIndex").toInt();
        combo->setProperty("nqLastIndex", index);
        CNotifyBridge::Raise(combo, "itemselect", static_cast<quintptr>(index), previous);
    });
}

void BindList(QListWidget* list)
{
    QObject::connect(list, &QListWidget::currentRowChanged, list, [list](int row) {
        CNotifyBridge::Raise(list, "itemselect", static_cast<quintptr>(row));
    });
    QObject::connect(list, &QListWidget::itemClicked, list, [list](QListWidgetItem* item) {
        CNotifyBridge::Raise(list, "itemclick", static_cast<quintptr>(list->row(item)));
    });
    QObject::connect(list, &QListWidget::itemActivated, list, [list](QListWidgetItem* item) {
        CNotifyBridge::Raise(list, "itemactivate", static_cast<quintptr>(list->row(item)));
    });
}

} // namespace

CNotifyBridge& CNotifyBridge::Instance()
{
    static CNotifyBridge bridge;
    return bridge;
}

CNotifyBridge::Silence::Silence() { ++g_silence; }
CNotifyBridge::Silence::~Silence() { --g_silence; }

bool CNotifyBridge::IsSilenced()
{
    return g_silence > 0;
}

void CNotifyBridge::Bind(QWidget* root)
{
    if (!root)
        return;
    BindControl(root);
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* child : children)
        BindControl(child);
}

void CNotifyBridge::BindControl(QWidget* control)
{
    const QString name = control->objectName();
    if (name.isEmpty() || name.startsWith("qt_") || control->property("nqBound").toBool())
        return;
    control->setProperty("nqBound", true);
    control->installEventFilter(&Instance());

    if (auto* button = qobject_cast<QAbstractButton*>(control))
        BindButton(button);
    else if (qobject_cast<QSlider*>(control) || qobject_cast<QDial*>(control))
        BindSlider(static_cast<QAbstractSlider*>(control));
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        BindCombo(combo);
    else if (auto* list = qobject_cast<QListWidget*>(control))
        BindList(list);
    else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textChanged, edit, [edit] { Raise(edit, "textchanged"); });
        connect(edit, &QLineEdit::returnPressed, edit, [edit] { Raise(edit, "return"); });
    } else if (auto* text = qobject_cast<QTextEdit*>(control)) {
        connect(text, &QTextEdit::textChanged, text, [text] { Raise(text, "textchanged"); });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        connect(plain, &QPlainTextEdit::textChanged, plain, [plain] { Raise(plain, "textchanged"); });
    }
}

bool CNotifyBridge::Raise(QWidget* sender, const QString& type, quintptr wParam, qintptr lParam)
{
    if (!sender || IsSilenced())
        return false;
    for (QWidget* w = sender; w; w = w->parentWidget()) {
        if (auto* window = qobject_cast<CSkinWindow*>(w)) {
            TNotify msg;
            msg.type = type;
            msg.sender = sender;
            msg.wParam = wParam;
            msg.lParam = lParam;
            window->DispatchNotify(msg);
            return true;
        }
    }
    return false;
}

bool CNotifyBridge::eventFilter(QObject* watched, QEvent* event)
{
    auto* control = qobject_cast<QWidget*>(watched);
    if (!control)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        if (WantsMouseNotes(control) && control->isEnabled())
            Raise(control, "dbclick");
        break;
    case QEvent::Enter:
        if (WantsMouseNotes(control))
            Raise(control, "msenter");
        break;
    case QEvent::Leave:
        if (WantsMouseNotes(control))
            Raise(control, "msleave");
        break;
    case QEvent::FocusIn:
        if (WantsFocusNotes(control))
            Raise(control, "setfocus");
        break;
    case QEvent::FocusOut:
        if (WantsFocusNotes(control))
            Raise(control, "killfocus");
        break;
    case QEvent::ContextMenu:
        Raise(control, "menu");
        // Edits keep their own menu; everything else stops here so the parent does not repeat it.
        return !WantsFocusNotes(control);
    default:
        break;
    }
    return false;
}

} // namespace nq::ui
