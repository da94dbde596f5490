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

#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>

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
    // While a switch's writes run the buttons are disabled; a click that comes anyway does nothing.
    if (!list || (IsSwitching(page) && name != "profile_fun_spread_btn"))
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

struct ProfileActions::Switch {
    QPointer<pages::CDevicePageUI> page;
    QPointer<pages::CDeviceProfileUI> list;
    CKelvaskUSBDevice::ProfileWriteResult result;
    SwitchAnswer answer;
    QStringList told;
    QRect screen;
};

bool ProfileActions::LoadIntoDevice(CKelvaskUSBDevice& device)
{
    // Devices that keep no profile of their own yet answer LoadProfile with 0.
    const bool keepsProfiles = device.LoadProfile() == kOk;
    device.PruneAssignments();
    device.ShowProfile();
    return keepsProfiles;
}

bool ProfileActions::IsSwitching(const QWidget* page) const
{
    return page && std::any_of(m_busy.begin(), m_busy.end(), [page](const auto& busy) { return busy == page; });
}

void ProfileActions::SetBusy(pages::CDevicePageUI& page, bool busy)
{
    static const char* const controls[] = {"device_profile_combo", "device_add_btn",    "device_sub_btn",
                                           "device_copy_btn",      "device_import_btn", "device_export_btn",
                                           "device_reset_btn",     "device_profile_edit_save_btn"};
    for (const char* name : controls)
        if (QWidget* control = CControlAccess::FindControl(&page, name))
            control->setEnabled(!busy);
    std::erase_if(m_busy, [&page](const auto& entry) { return !entry || entry == &page; });
    CKelvaskUSBDevice& device = page.Device();
    if (busy) {
        m_busy.emplace_back(&page);
        device.ShowStatus(CKelvaskUSBDevice::kStatusSwitching);
    } else if (device.StatusKey() == CKelvaskUSBDevice::kStatusSwitching) {
        device.ShowStatus({});
    }
}

void ProfileActions::SubmitWrites(pages::CDevicePageUI& page, int keys, std::function<void(Switch&)> outcome,
                                  std::shared_ptr<Switch> run)
{
    if (QScreen* primary = QGuiApplication::primaryScreen())
        run->screen = primary->geometry();
    SetBusy(page, true);
    std::weak_ptr<int> alive = m_alive;
    const auto then = [this, alive, run, outcome = std::move(outcome)](const CKelvaskUSBDevice::ProfileWriteResult& result) {
        if (!alive.lock())
            return;
        run->result = result;
        if (run->page) {
            SetBusy(*run->page, false);
            if (run->list) {
                QStringList* sink = m_messageSink;
                if (run->answer)
                    m_messageSink = &run->told;
                outcome(*run);
                m_messageSink = sink;
            }
        }
        if (run->answer)
            run->answer(run->told);
    };
    page.Device().SubmitProfileWrite(run->screen.width(), run->screen.height(),
                                     static_cast<CKelvaskUSBDevice::ProfileKeys>(keys), then);
}

void ProfileActions::TellMacrosAndKeys(const Switch& run, const QString& profileName)
{
    if (!run.result.keysSent)
        return;
    const KeySaveResult& written = run.result.keys;
    // -1: the image was refused or never reached the device (a closed channel, a lost link).
    if (written.macros == kWriteFailed)
        ShowText(Text("profile_macros_not_written").arg(profileName));
    else if (written.macros != 0)
        ShowText(Text("message_text_16").replace("%d", QString::number(written.macros)));
    // A key table that was not sent because the macros were not written is told by the macros.
    const bool keysTried = written.macros == 0 || written.keys != kNotOpen;
    if (written.keys != kOk && keysTried && run.page->Device().Channel().IsOpen())
        ShowText(Text("profile_keys_not_written").arg(profileName).arg(written.keys));
}

void ProfileActions::OnProfileChosen(QWidget* sender) { m_choosingPage = PageOf(sender); }

void ProfileActions::SwitchToChosenProfile(SwitchAnswer answer)
{
    auto run = std::make_shared<Switch>();
    run->answer = std::move(answer);
    const auto nothingSwitched = [run] {
        if (run->answer)
            run->answer(run->told);
    };
    pages::CDevicePageUI* page = m_choosingPage ? m_choosingPage.data() : m_selector.SelectedPage();
    pages::CDeviceProfileUI* list = ListOf(page);
    if (!list)
        return nothingSwitched();
    if (IsSwitching(page)) {
        // The combo is disabled while the writes of a switch run; a request that comes meanwhile
        // is refused and the combo keeps showing the profile being switched to.
        run->told.append(Text("profile_switch_busy"));
        if (QComboBox* combo = list->Combo()) {
            QSignalBlocker quiet(combo);
            combo->setCurrentIndex(list->CurrentIndex());
        }
        return nothingSwitched();
    }
    CKelvaskUSBDevice& device = page->Device();
    const int chosen = list->GetSelectedIndex();
    if (chosen < 0)
        return nothingSwitched();
    const int previous = list->CurrentIndex();
    const QString previousName = list->CurrentName();

    list->SelectProfile(chosen, false);
    if (list->TakeListReloaded())
        return nothingSwitched(); // another page changed the list: the user sees it again and chooses anew
    const QString chosenName = list->CurrentName();
    device.SetProfileName(list->CurrentProfileId());
    if (!LoadIntoDevice(device) || !device.Channel().IsOpen())
        return nothingSwitched();
    run->page = page;
    run->list = list;
    const auto outcome = [this, previous, chosen, chosenName, previousName](Switch& done) {
        const int settings = done.result.settings;
        if (settings == kOk) {
            TellMacrosAndKeys(done, chosenName);
            return;
        }
        // The device still holds the profile it had: the list and the page show that one again.
        if (previous >= 0 && previous != chosen) {
            done.list->SelectProfile(previous, false);
            CKelvaskUSBDevice& device = done.page->Device();
            device.SetProfileName(done.list->CurrentProfileId());
            LoadIntoDevice(device);
            // A write that went unanswered may still have been taken: the profile shown is written
            // again (a closed channel leaves that to the comparison at the next connection).
            if (!CKelvaskUSBDevice::IsRefusal(settings) && device.Channel().IsOpen())
                device.SubmitProfileWrite(done.screen.width(), done.screen.height(),
                                          CKelvaskUSBDevice::ProfileKeys::None, nullptr);
        }
        DebugOutF("profile switch refused: %d", settings);
        ShowText(Text("profile_switch_refused").arg(chosenName).arg(settings).arg(previousName));
    };
    SubmitWrites(*page, static_cast<int>(CKelvaskUSBDevice::ProfileKeys::AfterSettings), outcome, run);
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
    QWidget* keyLayout = CControlAccess::FindControl(&page, "keyset_layout");
    const bool withKeys = device.DeviceType() == kKeyboard || device.DeviceType() == kMouse;
    if (withKeys)
        CControlAccess::SetVisible(keyLayout, false);
    // Editing is finished: the key editor's editing buttons are off.
    if (auto* editor = page.findChild<pages::CKeySetControlUI*>())
        editor->SetEditingButtonsEnabled(false);
    auto run = std::make_shared<Switch>();
    run->page = &page;
    run->list = &list;
    // The reset profile's macros and key table go to the device whatever became of its settings.
    const auto keys = withKeys ? CKelvaskUSBDevice::ProfileKeys::Always : CKelvaskUSBDevice::ProfileKeys::None;
    SubmitWrites(page, static_cast<int>(keys),
                 [this, name](Switch& done) {
                     if (done.result.settings != kOk)
                         ShowText(Text("profile_reset_not_written").arg(name).arg(done.result.settings));
                     TellMacrosAndKeys(done, name);
                 },
                 run);
}

void ProfileActions::OnFunctionTab(int code)
{
    if (pages::CDeviceProfileUI* list = ListOf(m_selector.SelectedPage()))
        list->SelectEditorTab(code);
}

} // namespace nq::app
