#pragma once
// What the pages do to controls addressed by name: find them, set texts (plain or by language
// key), show, enable, tooltips, colours and images, and the typed operations of options, combos,
// lists, sliders, progress bars, edits and tab layouts. All calls accept nullptr (a control the
// skin lacks) and then do nothing or return an empty value.
//
// Image descriptions use the skin's syntax ("file='power/power.png'" or a bare path relative to
// the skin folder). Colours are 0xAARRGGBB.
//
// Everything here belongs to the UI thread, except SetText, SetTextKey, SetToolTip, SetBkImage,
// SetForeImage, SetVisible and SetEnabled: called from another thread, they pass the change to
// the UI thread and return at once.
#include <QString>
#include <QVariant>
#include <QWidget>

class QAbstractButton;

namespace nq::ui {

class CControlAccess {
public:
    // The control named name: root itself or anywhere in its subtree.
    static QWidget* FindControl(QWidget* root, const QString& name);
    template <class T>
    static T* Find(QWidget* root, const QString& name)
    {
        return qobject_cast<T*>(FindControl(root, name));
    }

    // Texts. SetText shows a plain text and forgets any language key; SetTextKey shows the
    // translation of key now and again after every language change.
    static void SetText(QWidget* control, const QString& text);
    static QString GetText(QWidget* control);
    static void SetTextKey(QWidget* control, const QString& key);
    static QString TextKey(QWidget* control);
    static void SetToolTip(QWidget* control, const QString& text);
    static void SetToolTipKey(QWidget* control, const QString& key);
    // Shows the translation of the keys held by the control (used after a language change).
    static void RefreshTexts(QWidget* control);

    static void SetVisible(QWidget* control, bool visible);
    static void SetEnabled(QWidget* control, bool enabled);
    static void SetUserData(QWidget* control, const QVariant& data);
    static QVariant UserData(QWidget* control);

    // Colours and images.
    static void SetBkColor(QWidget* control, quint32 argb);
    static quint32 BkColor(QWidget* control);
    static void SetTextColor(QWidget* control, quint32 argb);
    static void SetBkImage(QWidget* control, const QString& description);
    static QString BkImage(QWidget* control);
    // Labels show it as their picture, buttons as their icon; other controls keep it in the
    // "foreimage" property for their own painting.
    static void SetForeImage(QWidget* control, const QString& description);
    static QString ForeImage(QWidget* control);
    // Button and option images by state: "normal", "hot", "pushed", "disabled", "selected".
    static void SetStateImage(QWidget* control, const QString& state, const QString& description);

    // Options and checks. notify chooses whether "selectchanged" is raised.
    static void SetSelected(QWidget* option, bool selected, bool notify = true);
    static bool IsSelected(QWidget* option);
    // Options sharing a group name in one window are exclusive.
    static void SetGroup(QAbstractButton* option, const QString& group);
    static QString Group(QWidget* option);

    // Combos and lists (QComboBox, QListWidget).
    static int AddItem(QWidget* list, const QString& text, const QVariant& data = {});
    static bool InsertItem(QWidget* list, int index, const QString& text, const QVariant& data = {});
    static bool RemoveItem(QWidget* list, int index);
    static void RemoveAllItems(QWidget* list);
    static int ItemCount(QWidget* list);
    static QString ItemText(QWidget* list, int index);
    static void SetItemText(QWidget* list, int index, const QString& text);
    static QVariant ItemData(QWidget* list, int index);
    static bool SelectItem(QWidget* list, int index, bool notify = true);
    static int CurrentItem(QWidget* list);

    // Sliders and progress bars. Setting a value raises nothing.
    static void SetValue(QWidget* control, int value);
    static int Value(QWidget* control);
    static void SetRange(QWidget* control, int minimum, int maximum);
    static int Minimum(QWidget* control);
    static int Maximum(QWidget* control);

    // Edits.
    static void SetMaxLength(QWidget* edit, int length);
    static void SetDigitsOnly(QWidget* edit, bool digitsOnly);
    static void SetNumberRange(QWidget* edit, int minimum, int maximum);
    static void SetTipText(QWidget* edit, const QString& text);

    // Tab layouts (QStackedWidget, QTabWidget).
    static bool SelectPage(QWidget* tabLayout, int index);
    static int CurrentPage(QWidget* tabLayout);
    // Binds an option to a page: selecting the option shows that page of the tab layout of that
    // name in the option's window.
    static void BindTabPage(QWidget* option, const QString& tabLayoutName, int index);
    static QString BoundTabName(QWidget* option);
    static int BoundTabIndex(QWidget* option);
    static void ShowBoundPage(QWidget* option);

private:
    static void RebuildStyle(QWidget* control);
};

} // namespace nq::ui
