#include "ui/CControlAccess.h"

#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QThread>
#include <QPointer>

namespace nq::ui {
namespace {

QString Rgba(quint32 argb)
{
    return QString("rgba(%1, %2, %3, %4)")
        .arg((argb >> 16) & 0xFF)
        .arg((argb >> 8) & 0xFF)
        .arg(argb & 0xFF)
        .arg((argb >> 24) & 0xFF);
}

QString ImageUrl(const QString& description)
{
    QString file = CSkinPaths::ImageFile(description);
    return file.isEmpty() ? QString() : QString("url(\"%1\")").arg(file);
}

// Whole numbers within [minimum, maximum]: a text past the maximum cannot be typed at all, one
// below the minimum is accepted only as a step on the way (it may still grow).
class RangeValidator : public QValidator {
public:
    RangeValidator(int minimum, int maximum, QObject* parent) : QValidator(parent), m_min(minimum), m_max(maximum) {}

    State validate(QString& input, int&) const override
    {
        if (input.isEmpty() || (input == "-" && m_min < 0))
            return Intermediate;
        bool ok = false;
        qlonglong value = input.toLongLong(&ok);
        if (!ok || input.startsWith('+') || input.contains(' '))
            return Invalid;
        if (value > m_max)
            return value < 0 ? Intermediate : Invalid;
        if (value < m_min)
            return value < 0 && m_min >= 0 ? Invalid : Intermediate;
        return Acceptable;
    }

private:
    int m_min;
    int m_max;
};

// Worker threads may set a control directly (a text, an image, its visibility); the change is
// then carried out on the control's own thread. Returns true when it was handed over.
template <class Fn>
bool HandedToUiThread(QWidget* control, Fn change)
{
    if (QThread::currentThread() == control->thread())
        return false;
    QPointer<QWidget> guard(control);
    QMetaObject::invokeMethod(
        control,
        [guard, change] {
            if (guard)
                change(guard.data());
        },
        Qt::QueuedConnection);
    return true;
}

void ApplyText(QWidget* control, const QString& text)
{
    CNotifyBridge::Silence silence;
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(control))
        rich->setPlainText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        plain->setPlainText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
        combo->setEditText(text);
    else if (control->isWindow())
        control->setWindowTitle(text);
    else if (control->metaObject()->indexOfProperty("text") >= 0)
        control->setProperty("text", text);
    else {
        control->setProperty("nqText", text);
        control->update();
    }
}

} // namespace

QWidget* CControlAccess::FindControl(QWidget* root, const QString& name)
{
    if (!root || name.isEmpty())
        return nullptr;
    if (root->objectName() == name)
        return root;
    return root->findChild<QWidget*>(name);
}

void CControlAccess::SetText(QWidget* control, const QString& text)
{
    if (!control)
        return;
    if (HandedToUiThread(control, [=](QWidget* c) { SetText(c, text); }))
        return;
    control->setProperty("textKey", QVariant());
    ApplyText(control, text);
}

QString CControlAccess::GetText(QWidget* control)
{
    if (!control)
        return {};
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* rich = qobject_cast<QTextEdit*>(control))
        return rich->toPlainText();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        return plain->toPlainText();
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->title();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    if (control->isWindow())
        return control->windowTitle();
    if (control->metaObject()->indexOfProperty("text") >= 0)
        return control->property("text").toString();
    return control->property("nqText").toString();
}

void CControlAccess::SetTextKey(QWidget* control, const QString& key)
{
    if (!control)
        return;
    if (HandedToUiThread(control, [=](QWidget* c) { SetTextKey(c, key); }))
        return;
    control->setProperty("textKey", key);
    ApplyText(control, CResourceManager::Instance().Text(key));
}

QString CControlAccess::TextKey(QWidget* control)
{
    return control ? control->property("textKey").toString() : QString();
}

void CControlAccess::SetToolTip(QWidget* control, const QString& text)
{
    if (!control)
        return;
    if (HandedToUiThread(control, [=](QWidget* c) { SetToolTip(c, text); }))
        return;
    control->setProperty("toolTipKey", QVariant());
    control->setToolTip(text);
}

void CControlAccess::SetToolTipKey(QWidget* control, const QString& key)
{
    if (!control)
        return;
    control->setProperty("toolTipKey", key);
    control->setToolTip(CResourceManager::Instance().Text(key));
}

void CControlAccess::RefreshTexts(QWidget* control)
{
    if (!control)
        return;
    QString key = control->property("textKey").toString();
    if (!key.isEmpty())
        ApplyText(control, CResourceManager::Instance().Text(key));
    QString tipKey = control->property("toolTipKey").toString();
    if (!tipKey.isEmpty())
        control->setToolTip(CResourceManager::Instance().Text(tipKey));
    QString placeholderKey = control->property("tipTextKey").toString();
    if (!placeholderKey.isEmpty())
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setPlaceholderText(CResourceManager::Instance().Text(placeholderKey));
}

void CControlAccess::SetVisible(QWidget* control, bool visible)
{
    if (control && !HandedToUiThread(control, [=](QWidget* c) { c->setVisible(visible); }))
        control->setVisible(visible);
}

void CControlAccess::SetEnabled(QWidget* control, bool enabled)
{
    if (control && !HandedToUiThread(control, [=](QWidget* c) { c->setEnabled(enabled); }))
        control->setEnabled(enabled);
}

void CControlAccess::SetUserData(QWidget* control, const QVariant& data)
{
    if (control)
        control->setProperty("userdata", data);
}

QVariant CControlAccess::UserData(QWidget* control)
{
    return control ? control->property("userdata") : QVariant();
}

void CControlAccess::SetBkColor(QWidget* control, quint32 argb)
{
    if (!control)
        return;
    control->setProperty("bkcolor", argb);
    RebuildStyle(control);
}

quint32 CControlAccess::BkColor(QWidget* control)
{
    return control ? control->property("bkcolor").toUInt() : 0;
}

void CControlAccess::SetTextColor(QWidget* control, quint32 argb)
{
    if (!control)
        return;
    control->setProperty("textcolor", argb);
    RebuildStyle(control);
}

void CControlAccess::SetBkImage(QWidget* control, const QString& description)
{
    if (!control)
        return;
    if (HandedToUiThread(control, [=](QWidget* c) { SetBkImage(c, description); }))
        return;
    control->setProperty("bkimage", description);
    RebuildStyle(control);
}

QString CControlAccess::BkImage(QWidget* control)
{
    return control ? control->property("bkimage").toString() : QString();
}

void CControlAccess::SetForeImage(QWidget* control, const QString& description)
{
    if (!control)
        return;
    if (HandedToUiThread(control, [=](QWidget* c) { SetForeImage(c, description); }))
        return;
    control->setProperty("foreimage", description);
    QString file = CSkinPaths::ImageFile(description);
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setPixmap(file.isEmpty() ? QPixmap() : QPixmap(file));
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setIcon(file.isEmpty() ? QIcon() : QIcon(file));
    control->update();
}

QString CControlAccess::ForeImage(QWidget* control)
{
    return control ? control->property("foreimage").toString() : QString();
}

void CControlAccess::SetStateImage(QWidget* control, const QString& state, const QString& description)
{
    if (!control)
        return;
    control->setProperty(("img_" + state.toLower()).toLatin1().constData(), description);
    RebuildStyle(control);
}

void CControlAccess::RebuildStyle(QWidget* control)
{
    QVariant base = control->property("nqBaseStyle");
    if (!base.isValid()) {
        base = control->styleSheet();
        control->setProperty("nqBaseStyle", base);
    }
    // An id selector keeps the rules on this control and off its children.
    const QString id = control->objectName().isEmpty() ? QString("*") : "#" + control->objectName();

    QStringList rules;
    QStringList main;
    QVariant color = control->property("bkcolor");
    if (color.isValid() && color.toUInt() != 0)
        main << "background-color: " + Rgba(color.toUInt());
    QVariant text = control->property("textcolor");
    if (text.isValid())
        main << "color: " + Rgba(text.toUInt());
    QString image = ImageUrl(control->property("bkimage").toString());
    if (image.isEmpty())
        image = ImageUrl(control->property("img_normal").toString());
    if (!image.isEmpty())
        main << "border-image: " + image + " 0 0 0 0 stretch stretch";
    if (!main.isEmpty())
        rules << id + " { " + main.join("; ") + " }";
    static const std::pair<const char*, const char*> states[] = {
        {"img_hot", ":hover"}, {"img_pushed", ":pressed"}, {"img_selected", ":checked"}, {"img_disabled", ":disabled"}};
    for (const auto& [property, pseudo] : states) {
        QString url = ImageUrl(control->property(property).toString());
        if (!url.isEmpty())
            rules << id + pseudo + " { border-image: " + url + " 0 0 0 0 stretch stretch }";
    }
    QString sheet = base.toString();
    if (!rules.isEmpty())
        sheet += (sheet.isEmpty() ? "" : "\n") + rules.join('\n');
    control->setAttribute(Qt::WA_StyledBackground, true);
    control->setStyleSheet(sheet);
}

void CControlAccess::SetSelected(QWidget* option, bool selected, bool notify)
{
    auto* button = qobject_cast<QAbstractButton*>(option);
    if (!button)
        return;
    if (!button->isCheckable())
        button->setCheckable(true);
    if (notify) {
        button->setChecked(selected);
        return;
    }
    CNotifyBridge::Silence silence;
    button->setChecked(selected);
}

bool CControlAccess::IsSelected(QWidget* option)
{
    auto* button = qobject_cast<QAbstractButton*>(option);
    return button && button->isChecked();
}

void CControlAccess::SetGroup(QAbstractButton* option, const QString& group)
{
    if (!option)
        return;
    if (QButtonGroup* old = option->group())
        old->removeButton(option);
    option->setProperty("group", group);
    if (group.isEmpty())
        return;
    option->setCheckable(true);
    QWidget* host = option->window();
    const QString groupName = "nqGroup:" + group;
    auto* buttons = host->findChild<QButtonGroup*>(groupName, Qt::FindDirectChildrenOnly);
    if (!buttons) {
        buttons = new QButtonGroup(host);
        buttons->setObjectName(groupName);
        buttons->setExclusive(true);
    }
    buttons->addButton(option);
}

QString CControlAccess::Group(QWidget* option)
{
    return option ? option->property("group").toString() : QString();
}

int CControlAccess::AddItem(QWidget* list, const QString& text, const QVariant& data)
{
    CNotifyBridge::Silence silence;
    if (auto* combo = qobject_cast<QComboBox*>(list)) {
        combo->addItem(text, data);
        return combo->count() - 1;
    }
    if (auto* widget = qobject_cast<QListWidget*>(list)) {
        auto* item = new QListWidgetItem(text, widget);
        item->setData(Qt::UserRole, data);
        return widget->count() - 1;
    }
    return -1;
}

bool CControlAccess::InsertItem(QWidget* list, int index, const QString& text, const QVariant& data)
{
    CNotifyBridge::Silence silence;
    int count = ItemCount(list);
    if (index < 0 || index > count)
        return false;
    if (auto* combo = qobject_cast<QComboBox*>(list)) {
        combo->insertItem(index, text, data);
        return true;
    }
    if (auto* widget = qobject_cast<QListWidget*>(list)) {
        auto* item = new QListWidgetItem(text);
        item->setData(Qt::UserRole, data);
        widget->insertItem(index, item);
        return true;
    }
    return false;
}

bool CControlAccess::RemoveItem(QWidget* list, int index)
{
    CNotifyBridge::Silence silence;
    if (index < 0 || index >= ItemCount(list))
        return false;
    if (auto* combo = qobject_cast<QComboBox*>(list))
        combo->removeItem(index);
    else if (auto* widget = qobject_cast<QListWidget*>(list))
        delete widget->takeItem(index);
    return true;
}

void CControlAccess::RemoveAllItems(QWidget* list)
{
    CNotifyBridge::Silence silence;
    if (auto* combo = qobject_cast<QComboBox*>(list))
        combo->clear();
    else if (auto* widget = qobject_cast<QListWidget*>(list))
        widget->clear();
}

int CControlAccess::ItemCount(QWidget* list)
{
    if (auto* combo = qobject_cast<QComboBox*>(list))
        return combo->count();
    if (auto* widget = qobject_cast<QListWidget*>(list))
        return widget->count();
    return 0;
}

QString CControlAccess::ItemText(QWidget* list, int index)
{
    if (index < 0 || index >= ItemCount(list))
        return {};
    if (auto* combo = qobject_cast<QComboBox*>(list))
        return combo->itemText(index);
    return qobject_cast<QListWidget*>(list)->item(index)->text();
}

void CControlAccess::SetItemText(QWidget* list, int index, const QString& text)
{
    if (index < 0 || index >= ItemCount(list))
        return;
    if (auto* combo = qobject_cast<QComboBox*>(list))
        combo->setItemText(index, text);
    else
        qobject_cast<QListWidget*>(list)->item(index)->setText(text);
}

QVariant CControlAccess::ItemData(QWidget* list, int index)
{
    if (index < 0 || index >= ItemCount(list))
        return {};
    if (auto* combo = qobject_cast<QComboBox*>(list))
        return combo->itemData(index);
    return qobject_cast<QListWidget*>(list)->item(index)->data(Qt::UserRole);
}

bool CControlAccess::SelectItem(QWidget* list, int index, bool notify)
{
    if (index < -1 || index >= ItemCount(list))
        return false;
    auto apply = [&] {
        if (auto* combo = qobject_cast<QComboBox*>(list)) {
            combo->setCurrentIndex(index);
            combo->setProperty("nqLastIndex", index);
        } else if (auto* widget = qobject_cast<QListWidget*>(list)) {
            widget->setCurrentRow(index);
        }
    };
    if (notify) {
        apply();
    } else {
        CNotifyBridge::Silence silence;
        apply();
    }
    return true;
}

int CControlAccess::CurrentItem(QWidget* list)
{
    if (auto* combo = qobject_cast<QComboBox*>(list))
        return combo->currentIndex();
    if (auto* widget = qobject_cast<QListWidget*>(list))
        return widget->currentRow();
    return -1;
}

void CControlAccess::SetValue(QWidget* control, int value)
{
    CNotifyBridge::Silence silence;
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        slider->setValue(value);
    else if (auto* progress = qobject_cast<QProgressBar*>(control))
        progress->setValue(value);
}

int CControlAccess::Value(QWidget* control)
{
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        return slider->value();
    if (auto* progress = qobject_cast<QProgressBar*>(control))
        return progress->value();
    return 0;
}

void CControlAccess::SetRange(QWidget* control, int minimum, int maximum)
{
    CNotifyBridge::Silence silence;
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        slider->setRange(minimum, maximum);
    else if (auto* progress = qobject_cast<QProgressBar*>(control))
        progress->setRange(minimum, maximum);
}

int CControlAccess::Minimum(QWidget* control)
{
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        return slider->minimum();
    if (auto* progress = qobject_cast<QProgressBar*>(control))
        return progress->minimum();
    return 0;
}

int CControlAccess::Maximum(QWidget* control)
{
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        return slider->maximum();
    if (auto* progress = qobject_cast<QProgressBar*>(control))
        return progress->maximum();
    return 0;
}

void CControlAccess::SetMaxLength(QWidget* edit, int length)
{
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        line->setMaxLength(length > 0 ? length : 32767);
}

void CControlAccess::SetDigitsOnly(QWidget* edit, bool digitsOnly)
{
    auto* line = qobject_cast<QLineEdit*>(edit);
    if (!line)
        return;
    delete line->validator();
    line->setValidator(digitsOnly ? new QRegularExpressionValidator(QRegularExpression("[0-9]*"), line) : nullptr);
}

void CControlAccess::SetNumberRange(QWidget* edit, int minimum, int maximum)
{
    auto* line = qobject_cast<QLineEdit*>(edit);
    if (!line)
        return;
    delete line->validator();
    line->setValidator(new RangeValidator(minimum, maximum, line));
}

void CControlAccess::SetTipText(QWidget* edit, const QString& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        line->setPlaceholderText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(edit))
        rich->setPlaceholderText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(edit))
        plain->setPlaceholderText(text);
}

bool CControlAccess::SelectPage(QWidget* tabLayout, int index)
{
    if (auto* stack = qobject_cast<QStackedWidget*>(tabLayout)) {
        if (index < 0 || index >= stack->count())
            return false;
        stack->setCurrentIndex(index);
        return true;
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(tabLayout)) {
        if (index < 0 || index >= tabs->count())
            return false;
        tabs->setCurrentIndex(index);
        return true;
    }
    return false;
}

int CControlAccess::CurrentPage(QWidget* tabLayout)
{
    if (auto* stack = qobject_cast<QStackedWidget*>(tabLayout))
        return stack->currentIndex();
    if (auto* tabs = qobject_cast<QTabWidget*>(tabLayout))
        return tabs->currentIndex();
    return -1;
}

void CControlAccess::BindTabPage(QWidget* option, const QString& tabLayoutName, int index)
{
    if (!option)
        return;
    option->setProperty("bindTabLayoutName", tabLayoutName);
    option->setProperty("bindTabIndex", index);
    if (IsSelected(option))
        ShowBoundPage(option);
}

QString CControlAccess::BoundTabName(QWidget* option)
{
    return option ? option->property("bindTabLayoutName").toString() : QString();
}

int CControlAccess::BoundTabIndex(QWidget* option)
{
    if (!option)
        return -1;
    QVariant index = option->property("bindTabIndex");
    return index.isValid() && !BoundTabName(option).isEmpty() ? index.toInt() : -1;
}

void CControlAccess::ShowBoundPage(QWidget* option)
{
    int index = BoundTabIndex(option);
    if (index < 0)
        return;
    SelectPage(FindControl(option->window(), BoundTabName(option)), index);
}

} // namespace nq::ui
