#include "profiles/qt/CDeviceProfileUI.h"

#include "editors/qt/CDevicePageUI.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinLoader.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>

namespace nq::pages {

using ui::CControlAccess;

namespace {

QString Qs(const std::string& text) { return QString::fromStdString(text); }

} // namespace

CDeviceProfileUI::CDeviceProfileUI(QWidget* parent) : QWidget(parent)
{
    MergeTexts();
    ui::CSkinLoader::LoadInto(this, kLayoutName);
}

CDeviceProfileUI::~CDeviceProfileUI() = default;

void CDeviceProfileUI::RegisterClass()
{
    auto& factory = ui::CControlFactory::Instance();
    factory.RegistControl<CDeviceProfileUI>(kClassName);
    factory.RegistControl<CDeviceProfileUI>("CDeviceProfileUI");
    // The name a layout uses for a bare tree of the control's children: the control builds it.
    factory.RegistControl<CDeviceProfileUI>("DeviceProfileUI");
    MergeTexts();
}

void CDeviceProfileUI::MergeTexts()
{
    ui::CResourceManager::Instance().MergeLanguagePart("profile");
}

// ---- child controls ----

QWidget* CDeviceProfileUI::Child(const char* name, QPointer<QWidget>& cache) const
{
    if (!cache)
        cache = CControlAccess::FindControl(const_cast<CDeviceProfileUI*>(this), name);
    return cache;
}

QComboBox* CDeviceProfileUI::Combo() const { return qobject_cast<QComboBox*>(Child("device_profile_combo", m_combo)); }
QLineEdit* CDeviceProfileUI::NameEdit() const
{
    return qobject_cast<QLineEdit*>(Child("device_profile_name_edit", m_nameEdit));
}

QWidget* CDeviceProfileUI::EditorTab(const char* name) const
{
    if (QWidget* own = CControlAccess::FindControl(const_cast<CDeviceProfileUI*>(this), name))
        return own;
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<CDevicePageUI*>(up))
            return CControlAccess::FindControl(up, name);
    }
    return nullptr;
}

// ---- list and selection ----

void CDeviceProfileUI::SetFolders(const std::string& userFolder, const std::string& defaultProfilePath)
{
    m_model.SetFolders(userFolder, defaultProfilePath);
}

void CDeviceProfileUI::AppendItem(const std::string& name)
{
    QComboBox* combo = Combo();
    if (!combo)
        return;
    ui::CNotifyBridge::Silence silence;
    CControlAccess::AddItem(combo, Qs(name), Qs(name));
    combo->setItemData(combo->count() - 1, QSize(0, kItemHeight), Qt::SizeHintRole);
}

void CDeviceProfileUI::FillCombo()
{
    if (QComboBox* combo = Combo()) {
        ui::CNotifyBridge::Silence silence;
        combo->clear();
        for (const std::string& name : m_model.Names())
            AppendItem(name);
    }
}

void CDeviceProfileUI::LoadProfileList()
{
    m_model.Load();
    FillCombo();
    SelectProfile(m_model.Selected(), false);
    for (const auto& [name, visible] : ProfileListModel::EditorTabVisibility(m_model.DeviceType()))
        CControlAccess::SetVisible(EditorTab(name), visible);
}

void CDeviceProfileUI::SelectProfile(int index, bool notify)
{
    if (index < 0 || index >= m_model.Count())
        return;
    const int generation = m_model.Generation();
    CControlAccess::SelectItem(Combo(), index, notify);
    SetNameEditText(Qs(m_model.NameAt(index)));
    m_model.Select(index);
    FollowReload(generation);
}

int CDeviceProfileUI::GetSelectedIndex() const
{
    QComboBox* combo = Combo();
    return combo ? combo->currentIndex() : -1;
}

QString CDeviceProfileUI::GetNameEditText() const
{
    QLineEdit* edit = NameEdit();
    return edit ? edit->text() : QString();
}

void CDeviceProfileUI::SetNameEditText(const QString& text)
{
    if (QLineEdit* edit = NameEdit()) {
        ui::CNotifyBridge::Silence silence;
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

void CDeviceProfileUI::SetMenuVisible(bool visible)
{
    CControlAccess::SetVisible(Child("profile_menu_layout", m_menu), visible);
}

bool CDeviceProfileUI::IsMenuVisible() const
{
    QWidget* menu = Child("profile_menu_layout", m_menu);
    return menu && !menu->isHidden();
}

void CDeviceProfileUI::SelectEditorTab(int code)
{
    for (int i = 0; i < int(ProfileListModel::kEditorTabs.size()); ++i) {
        auto* option = EditorTab(ProfileListModel::kEditorTabs[size_t(i)]);
        auto* button = qobject_cast<QAbstractButton*>(option);
        if (!button)
            continue;
        // An exclusive option cannot be cleared while it is the selected one.
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        CControlAccess::SetSelected(button, i + 1 == code, false);
        button->setAutoExclusive(exclusive);
    }
}

QString CDeviceProfileUI::SelectedName() const { return Qs(m_model.NameAt(GetSelectedIndex())); }

int CDeviceProfileUI::CurrentIndex() const
{
    for (int i = 0; i < m_model.Count(); ++i) {
        if (m_model.IdAt(i) == m_model.CurrentProfileId())
            return i;
    }
    return -1;
}

QString CDeviceProfileUI::CurrentName() const { return Qs(m_model.NameAt(CurrentIndex())); }

// ---- operations ----

int CDeviceProfileUI::TakeComboSelection()
{
    m_model.SetShownSelection(GetSelectedIndex());
    return m_model.Generation();
}

bool CDeviceProfileUI::FollowReload(int generationBefore)
{
    if (m_model.Generation() == generationBefore)
        return false;
    FillCombo();
    CControlAccess::SelectItem(Combo(), m_model.Selected(), false);
    SetNameEditText(Qs(m_model.NameAt(m_model.Selected())));
    m_listReloaded = true;
    return true;
}

bool CDeviceProfileUI::TakeListReloaded()
{
    const bool reloaded = m_listReloaded;
    m_listReloaded = false;
    return reloaded;
}

bool CDeviceProfileUI::AddProfile()
{
    if (!Combo())
        return false;
    const int generation = TakeComboSelection();
    if (!m_model.Add()) {
        FollowReload(generation);
        return false;
    }
    AppendItem(m_model.Names().back());
    return true;
}

bool CDeviceProfileUI::DeleteProfile()
{
    QComboBox* combo = Combo();
    if (!combo)
        return false;
    const int generation = TakeComboSelection();
    const int removed = m_model.Selected();
    if (!m_model.Delete()) {
        FollowReload(generation);
        return false;
    }
    const int next = m_model.Selected();
    {
        ui::CNotifyBridge::Silence silence;
        combo->removeItem(removed);
        CControlAccess::SelectItem(combo, next, false);
    }
    // The entry the list file now names is chosen like any profile the user picks.
    ui::CNotifyBridge::Raise(combo, "itemselect", quintptr(next), qintptr(removed));
    return true;
}

bool CDeviceProfileUI::CopyProfile()
{
    if (!Combo())
        return false;
    const int generation = TakeComboSelection();
    if (!m_model.Copy()) {
        FollowReload(generation);
        return false;
    }
    AppendItem(m_model.Names().back());
    return true;
}

ProfileListModel::ImportResult CDeviceProfileUI::ImportProfile(const QString& path)
{
    const int generation = TakeComboSelection();
    const auto result = m_model.Import(path.toStdString());
    FollowReload(generation);
    if (result == ProfileListModel::ImportResult::Imported)
        AppendItem(m_model.Names().back());
    return result;
}

bool CDeviceProfileUI::ExportProfile(const QString& path)
{
    TakeComboSelection();
    return m_model.Export(path.toStdString());
}

bool CDeviceProfileUI::ResetProfile()
{
    const int generation = TakeComboSelection();
    if (m_model.Reset())
        return true;
    FollowReload(generation);
    return false;
}

int CDeviceProfileUI::RenameProfile(const QString& name)
{
    const int generation = TakeComboSelection();
    const int result = m_model.Rename(name.toStdString());
    FollowReload(generation);
    if (result != ProfileListModel::kRenamed)
        return result;
    const int index = m_model.Selected();
    if (QComboBox* combo = Combo()) {
        ui::CNotifyBridge::Silence silence;
        CControlAccess::SetItemText(combo, index, name);
        combo->setItemData(index, name, Qt::UserRole);
        combo->update();
    }
    SetNameEditText(name);
    return result;
}

} // namespace nq::pages
