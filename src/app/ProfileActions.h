#pragma once
// What the main window does with the profile controls of a device page: the profile buttons
// ("device_add_btn", "device_sub_btn", "device_copy_btn", "device_import_btn",
// "device_export_btn", "device_reset_btn", "device_profile_edit_save_btn",
// "profile_fun_spread_btn"), the switch to a profile chosen in "device_profile_combo" (400 ms after
// the choice) and the editor tab that follows a function tab.
//
// After a switch or a reset the device reloads the profile, redraws its page and hands the writes
// of its settings, macros and key table over (CKelvaskUSBDevice::SubmitProfileWrite: the mouse's
// transfer worker, at once for the other devices); the outcome comes back on the UI thread. While
// they run the page's profile combo and buttons are disabled and its status line says so, so no
// other profile can be chosen on that page meanwhile (a control request for it is refused). A
// write the device refused, or one that never reached it, is shown to the user; when the settings
// of a chosen profile do not reach the device, the list and the device go back to the profile the
// device still holds.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace nq {
class CKelvaskUSBDevice;
}

namespace nq::pages {
class CDevicePageUI;
class CDeviceProfileUI;
}

namespace nq::app {

class DeviceSelector;

class ProfileActions {
public:
    // The file dialogs' filter.
    static constexpr const char* kFileFilter = "Profile Files(*.json)";

    ProfileActions(QWidget* window, DeviceSelector& selector);

    // Handles a click on one of the profile controls; false for any other name.
    bool OnClick(const QString& name, QWidget* sender);
    // A profile was chosen in the combo of the page holding sender (the switch follows later).
    void OnProfileChosen(QWidget* sender);
    // Switches the device of the page whose combo chose last to the chosen profile. With `answer`
    // what the actions would tell in a message box goes to it instead, once the switch is over
    // (also when nothing was switched); a control request answers its sender with it.
    using SwitchAnswer = std::function<void(const QStringList& told)>;
    void SwitchToChosenProfile(SwitchAnswer answer = nullptr);
    // True while the writes of a switch or reset of the page's device are under way.
    bool IsSwitching(const QWidget* page) const;
    // A function tab was chosen: the profile control marks its editor tab.
    void OnFunctionTab(int code);
    // While a sink is set, what the actions would tell in a message box is added to it instead
    // (a control request answers its sender with it; a modal box would hold the answer back).
    void SetMessageSink(QStringList* sink) { m_messageSink = sink; }

    // The desktop's file dialogs (Qt's, native where the desktop has them): parent, title, filter,
    // suggested file name -> the chosen path, empty when cancelled. Replaceable, so that tests
    // can answer them.
    using FileDialog = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
    FileDialog chooseFileToOpen;
    FileDialog chooseFileToSave;

private:
    pages::CDevicePageUI* PageOf(QWidget* sender) const;
    static pages::CDeviceProfileUI* ListOf(pages::CDevicePageUI* page);
    void Import(pages::CDeviceProfileUI& list);
    void Export(pages::CDeviceProfileUI& list);
    void Reset(pages::CDevicePageUI& page, pages::CDeviceProfileUI& list);
    void Rename(pages::CDeviceProfileUI& list);
    // Loads the device's current profile and shows it; true when the device keeps profiles.
    static bool LoadIntoDevice(CKelvaskUSBDevice& device);
    struct Switch;
    // Hands the profile's writes to the device with the page marked busy; `outcome` runs on the UI
    // thread when they are over (not when the device or the actions are gone by then).
    void SubmitWrites(pages::CDevicePageUI& page, int keys, std::function<void(Switch&)> outcome,
                      std::shared_ptr<Switch> run);
    void SetBusy(pages::CDevicePageUI& page, bool busy);
    // Tells the user what of the macros and the key table did not reach the device.
    void TellMacrosAndKeys(const Switch& run, const QString& profileName);
    void ShowText(const QString& text);
    void ShowKey(const char* key);
    QString Text(const char* key) const;

    QWidget* m_window;
    DeviceSelector& m_selector;
    QPointer<pages::CDevicePageUI> m_choosingPage;
    QStringList* m_messageSink = nullptr;
    std::vector<QPointer<pages::CDevicePageUI>> m_busy;
    // Outcomes that come back after the actions are gone are dropped.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace nq::app
