#include "app/ProfileActions.h"

#include "app/CMsgWnd.h"
#include "app/DeviceSelector.h"
#include "common/DebugLog.h"
#include "common/Result.h"
#include "devices/CKelvaskUSBDevice.h"
#include "editors/qt/CDevicePageUI.h"
#include "editors/qt/CKeySetControlUI.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "ui/CControlAccess.h"
#include "ui/CResourceManager.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>

namespace nq::app {

using ui::CControlAccess;
using ImportResult = ProfileListModel::ImportResult;

namespace {

constexpr int kKeyboard = 1;
constexpr int kMouse = 2;

// A file name offered by the save dialog: the profile's name with nothing that reads as a path.
QString SuggestedFileName(QString name)
{
    name.replace('/', '_').replace(QChar(0), '_');
    if (name.startsWith('.'))
        name.prepend('_');
    return name.trimmed().isEmpty() ? QStringLiteral("profile.json") : name + ".json";
}

} // namespace

ProfileActions::ProfileActions(QWidget* window, DeviceSelector& selector) : m_window(window), m_selector(selector)
{
    chooseFileToOpen = [](QWidget* parent, const QString& title, const QString& filter, const QString&) {
        return QFileDialog::getOpenFileName(parent, title, QString(), filter);
    };
    chooseFileToSave = [](QWidget* parent, const QString& title, const QString& filter, const QString& suggested) {
        QFileDialog dialog(parent, title, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("json");
        dialog.selectFile(suggested);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
}

pages::CDevicePageUI* ProfileActions::PageOf(QWidget* sender) const
{
    for (QWidget* up = sender; up; up = up->parentWidget()) {
        if (auto* page = qobject_cast<pages::CDevicePageUI*>(up))
            return page;
    }
    return m_selector.SelectedPage();
}

pages::CDeviceProfileUI* ProfileActions::ListOf(pages::CDevicePageUI* page)
{
    return page ? CControlAccess::Find<pages::CDeviceProfileUI>(page, pages::CDeviceProfileUI::kControlName) : nullptr;
}

QString ProfileActions::Text(const char* key) const { return ui::CResourceManager::Instance().Text(key); }

void ProfileActions::ShowText(const QString& text)
{
    DebugOut(text.toStdString());
    if (m_messageSink) {
        m_messageSink->append(text);
        return;
    }
    CMsgWnd::ShowMessage(m_window, QString(), text, 96, false, 0);
}

void ProfileActions::ShowKey(const char* key)
{
    if (m_messageSink) {
        m_messageSink->append(Text(key));
        return;
    }
    CMsgWnd::ShowMessage(m_window, QString(), key, 96, true, 0);
}

// ---- clicks ----

bool ProfileActions::OnClick(const QString& name, QWidget* sender)
{
    static const QStringList names = {"device_add_btn",    "device_sub_btn",   "device_copy_btn",
                                      "device_import_btn", "device_export_btn", "device_reset_btn",
                                      "device_profile_edit_save_btn", "profile_fun_spread_btn"};
    if (!names.contains(name))
        return false;
    pages::CDevicePageUI* page = PageOf(sender);
    pages::CDeviceProfileUI* list = ListOf(page);
    if (!list)
        return true;
    ProfileListModel& model = list->Model();
    // A list another page changed meanwhile is shown again instead: that is no failure.
    const auto failed = [list](bool done) { return !list->TakeListReloaded() && !done; };
    if (name == "device_add_btn") {
        if (model.Count() < ProfileListModel::kAddLimit && list->GetSelectedIndex() >= 0 && failed(list->AddProfile()))
            ShowKey("profile_write_failed");
    } else if (name == "device_sub_btn") {
        if (model.Count() >= 2 && list->GetSelectedIndex() >= 0 && failed(list->DeleteProfile()))
            ShowKey("profile_write_failed");
    } else if (name == "device_copy_btn") {
        if (list->GetSelectedIndex() >= 0 && failed(list->CopyProfile()))
            ShowKey("profile_write_failed");
    } else if (name == "device_import_btn") {
        Import(*list);
    } else if (name == "device_export_btn") {
        Export(*list);
    } else if (name == "device_reset_btn") {
        Reset(*page, *list);
    } else if (name == "device_profile_edit_save_btn") {
        Rename(*list);
    } else if (name == "profile_fun_spread_btn") {
        list->SetMenuVisible(!list->IsMenuVisible());
    }
    return true;
}

void ProfileActions::Rename(pages::CDeviceProfileUI& list)
{
    const QString name = list.GetNameEditText();
    if (name.isEmpty())
        return;
    const int result = list.RenameProfile(name);
    if (list.TakeListReloaded())
        return;
    switch (result) {
    case ProfileListModel::kNameInUse:
        ShowKey("message_text_5");
        break;
    case ProfileListModel::kNameBlank:
        ShowKey("message_text_25");
        break;
    case ProfileListModel::kRenameFailed:
        ShowKey("profile_write_failed");
        break;
    default:
        break;
    }
}

void ProfileActions::Import(pages::CDeviceProfileUI& list)
{
    if (list.GetSelectedIndex() == -1)
        return;
    const QString path = chooseFileToOpen(m_window, Text("profile_import_dialog_title"), kFileFilter, QString());
    if (path.isEmpty())
        return;
    switch (list.ImportProfile(path)) {
    case ImportResult::Imported:
    case ImportResult::ListChanged:
    case ImportResult::NotAProfile: // a file without the profile identity is ignored
        break;
    case ImportResult::Unreadable:
        ShowText(Text("profile_import_unreadable").arg(path));
        break;
    case ImportResult::WrongDevice:
        ShowText(Text("profile_import_wrong_device").arg(path));
        break;
    case ImportResult::WriteFailed:
        ShowKey("profile_write_failed");
        break;
    }
}

void ProfileActions::Export(pages::CDeviceProfileUI& list)
{
    if (list.GetSelectedIndex() == -1)
        return;
    const QString path = chooseFileToSave(m_window, Text("profile_export_dialog_title"), kFileFilter,
                                          SuggestedFileName(list.SelectedName()));
    if (!path.isEmpty() && !list.ExportProfile(path))
        ShowText(Text("profile_export_failed").arg(path));
}

// ---- the device follows the list ----

bool ProfileActions::LoadIntoDevice(CKelvaskUSBDevice& device)
{
    // Devices that keep no profile of their own yet answer LoadProfile with 0.
    const bool keepsProfiles = device.LoadProfile() == kOk;
    device.PruneAssignments();
    device.ShowProfile();
    return keepsProfiles;
}

int ProfileActions::WriteSettings(CKelvaskUSBDevice& device)
{
    QRect screen;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->geometry();
    return device.WriteSettingsToDevice(0, 0, 1, screen.width(), screen.height());
}

void ProfileActions::WriteMacrosAndKeys(CKelvaskUSBDevice& device, const QString& profileName)
{
    const int macros = device.WriteMacrosToDevice();
    // -1: the image was refused or never reached the device (a closed channel, a lost link).
    if (macros == kWriteFailed)
        ShowText(Text("profile_macros_not_written").arg(profileName));
    else if (macros != 0)
        ShowText(Text("message_text_16").replace("%d", QString::number(macros)));
    const int keys = device.WriteAssignmentsToDevice(0);
    if (keys != kOk && device.Channel().IsOpen())
        ShowText(Text("profile_keys_not_written").arg(profileName).arg(keys));
}

void ProfileActions::OnProfileChosen(QWidget* sender) { m_choosingPage = PageOf(sender); }

void ProfileActions::SwitchToChosenProfile()
{
    pages::CDevicePageUI* page = m_choosingPage ? m_choosingPage.data() : m_selector.SelectedPage();
    pages::CDeviceProfileUI* list = ListOf(page);
    if (!list)
        return;
    CKelvaskUSBDevice& device = page->Device();
    const int chosen = list->GetSelectedIndex();
    if (chosen < 0)
        return;
    const int previous = list->CurrentIndex();
    const QString previousName = list->CurrentName();

    list->SelectProfile(chosen, false);
    if (list->TakeListReloaded())
        return; // another page changed the list: the user sees it again and chooses anew
    const QString chosenName = list->CurrentName();
    device.SetProfileName(list->CurrentProfileId());
    if (!LoadIntoDevice(device) || !device.Channel().IsOpen())
        return;
    const int settings = WriteSettings(device);
    if (settings != kOk) {
        // The device still holds the profile it had: the list and the page show that one again.
        if (previous >= 0 && previous != chosen) {
            list->SelectProfile(previous, false);
            device.SetProfileName(list->CurrentProfileId());
            LoadIntoDevice(device);
        }
        DebugOutF("profile switch refused: %d", settings);
        ShowText(Text("profile_switch_refused").arg(chosenName).arg(settings).arg(previousName));
        return;
    }
    WriteMacrosAndKeys(device, chosenName);
}

void ProfileActions::Reset(pages::CDevicePageUI& page, pages::CDeviceProfileUI& list)
{
    if (CMsgWnd::ShowMessage(m_window, QString(), "message_text_22", 96, true, 1) != 1)
        return;
    if (!list.ResetProfile()) {
        if (!list.TakeListReloaded())
            ShowKey("profile_write_failed");
        return;
    }
    CKelvaskUSBDevice& device = page.Device();
    if (!LoadIntoDevice(device) || !device.Channel().IsOpen())
        return;
    const QString name = list.SelectedName();
    const int settings = WriteSettings(device);
    if (settings != kOk)
        ShowText(Text("profile_reset_not_written").arg(name).arg(settings));
    QWidget* keyLayout = CControlAccess::FindControl(&page, "keyset_layout");
    if (device.DeviceType() == kKeyboard)
        CControlAccess::SetVisible(keyLayout, false);
    if (device.DeviceType() == kKeyboard || device.DeviceType() == kMouse)
        WriteMacrosAndKeys(device, name);
    if (device.DeviceType() == kMouse)
        CControlAccess::SetVisible(keyLayout, false);
    // Editing is finished: the key editor's editing buttons are off.
    if (auto* editor = page.findChild<pages::CKeySetControlUI*>())
        editor->SetEditingButtonsEnabled(false);
}

void ProfileActions::OnFunctionTab(int code)
{
    if (pages::CDeviceProfileUI* list = ListOf(m_selector.SelectedPage()))
        list->SelectEditorTab(code);
}

} // namespace nq::app
