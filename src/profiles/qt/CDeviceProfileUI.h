#pragma once
// The profile list control of a device page ("DeviceProfile", found as "DeviceProfileItem"): a
// container that builds its controls from "XML\CustomControlXML\DeviceProfile.xml" — the combo
// "device_profile_combo" with one item per profile, the name edit "device_profile_name_edit" and
// the fold-out menu "profile_menu_layout" with the profile buttons. It also sets the eight editor
// tab options ("deng_Op_tab", ...): they are looked for among its own controls and, where the
// page keeps its tab row elsewhere, on the page that holds it.
//
// The bookkeeping (list file, profile files) is ProfileListModel's; the control keeps the combo
// and the name edit in step with it. What a device must do after a profile change is the main
// window's (ProfileActions). Any control may be missing: an operation on it is skipped.
#include "devices/IProfileList.h"
#include "profiles/ProfileListModel.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLineEdit;

namespace nq::pages {

class CDeviceProfileUI : public QWidget, public IProfileList {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "DeviceProfile";
    static constexpr const char* kLayoutName = "XML\\CustomControlXML\\DeviceProfile.xml";
    static constexpr const char* kControlName = "DeviceProfileItem";
    static constexpr int kItemHeight = 30;

    explicit CDeviceProfileUI(QWidget* parent = nullptr);
    ~CDeviceProfileUI() override;

    // Registers the class under its skin name, its class name and "DeviceProfileUI" with the
    // control factory and adds its texts to the loaded language.
    static void RegisterClass();
    // Adds the texts of skin/lang/profile_<language>.json that the loaded language lacks.
    static void MergeTexts();

    // ---- IProfileList ----
    void SetDeviceType(int type) override { m_model.SetDeviceType(type); }
    void SetFolders(const std::string& userFolder, const std::string& defaultProfilePath) override;
    // Loads the list, fills the combo, selects "profileselect" and shows or hides the editor tabs
    // for the device type.
    void LoadProfileList() override;
    // Selects the tab option of a code (1..8) and clears the other seven, raising nothing.
    void SelectEditorTab(int code) override;
    std::string CurrentProfileId() const override { return m_model.CurrentProfileId(); }

    // Selects combo item `index` (raising "itemselect" only when notify is set), shows its name
    // in the edit and makes it the current profile.
    void SelectProfile(int index, bool notify);
    // The combo's selection; -1 when there is none or no combo.
    int GetSelectedIndex() const;
    QString GetNameEditText() const;
    void SetNameEditText(const QString& text);
    void SetMenuVisible(bool visible);
    bool IsMenuVisible() const;

    // The operations; false (or the model's failure result) when nothing was changed.
    bool AddProfile();
    // Removes the selected profile; the combo then selects the entry before it (or entry 0) and
    // raises "itemselect" for it, so that the device follows.
    bool DeleteProfile();
    bool CopyProfile();
    ProfileListModel::ImportResult ImportProfile(const QString& path);
    bool ExportProfile(const QString& path);
    bool ResetProfile();
    int RenameProfile(const QString& name);

    // True once after an operation found the list file changed underneath (another page of the
    // same folder changed it): the combo shows the list as it is now and the operation was not
    // done, which is no failure to tell.
    bool TakeListReloaded();

    // The name of the selected profile (empty without one) and of the current one.
    QString SelectedName() const;
    QString CurrentName() const;
    // The position of the current profile in the list; -1 when it is not listed.
    int CurrentIndex() const;

    ProfileListModel& Model() { return m_model; }
    QComboBox* Combo() const;
    QLineEdit* NameEdit() const;
    // A tab option by name: the control's own, else the page's.
    QWidget* EditorTab(const char* name) const;

private:
    QWidget* Child(const char* name, QPointer<QWidget>& cache) const;
    void AppendItem(const std::string& name);
    // The model acts on what the combo shows selected; returns the model's generation.
    int TakeComboSelection();
    // After an operation: when the model read its list again, the combo shows it (true).
    bool FollowReload(int generationBefore);
    void FillCombo();

    ProfileListModel m_model;
    mutable QPointer<QWidget> m_combo;
    mutable QPointer<QWidget> m_nameEdit;
    mutable QPointer<QWidget> m_menu;
    bool m_listReloaded = false;
};

} // namespace nq::pages
