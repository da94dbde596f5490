#pragma once
// The macro editor of a device page ("MacroControlItem"): a container that builds its controls
// from "XML\CustomControlXML\MacroControl.xml" and can sit on any page. The logic lives in
// MacroEditorModel; this class shows the model's list and rows, handles its own controls' signals
// and records key and mouse input through CMacroInputCapture.
//
// The page gives it the device's macro folder and a DeviceLink (the device's key table and a
// notice that the macro names changed), and the key assignment editor whose macro combo mirrors
// the list.
#include "editors/KeyAssignment.h"
#include "macros/MacroEditorModel.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace nq::pages {

class CKeySetControlUI;
class CMacroInputCapture;

class CMacroControlUI : public QWidget, public MacroEditorModel::Host {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "MacroSetControlUI";
    static constexpr const char* kLayoutName = "XML\\CustomControlXML\\MacroControl.xml";
    static constexpr const char* kMenuName = "XML\\Menus\\macro_action_menu.xml";
    static constexpr const char* kFileFilter = "Macro Files(*.mac)";
    static constexpr int kRowHeight = 30;
    static constexpr int kScrollDelayMs = 50;

    struct DeviceLink {
        std::function<std::vector<KeyEntry>()> keyTable;
        std::function<void(const std::vector<KeyEntry>&)> setKeyTable;
        // The macro list changed: the device reloads its name lists and refreshes its key labels.
        std::function<void()> namesChanged;
    };

    explicit CMacroControlUI(QWidget* parent = nullptr);
    ~CMacroControlUI() override;

    // Registers the class under its skin names with the control factory and merges its texts.
    static void RegisterClass();

    // Binds the editor to a page's device (one with GetKeyTable, SetKeyTable, LoadNameLists,
    // RefreshKeyLabels and GetUserFolder) and key editor, and loads the device's macro list.
    template <class Device>
    void Attach(Device* device, CKeySetControlUI* keyEditor)
    {
        DeviceLink link;
        link.keyTable = [device] { return device->GetKeyTable(); };
        link.setKeyTable = [device](const std::vector<KeyEntry>& table) { device->SetKeyTable(table); };
        link.namesChanged = [device] {
            device->LoadNameLists();
            device->RefreshKeyLabels();
        };
        SetDeviceLink(std::move(link));
        SetKeyEditor(keyEditor);
        SetFolder(device->GetUserFolder());
        LoadList();
    }

    void SetFolder(const std::string& folder);
    void LoadList();
    std::vector<std::string> Names() const { return m_model.Names(); }
    void SetDeviceLink(DeviceLink link) { m_link = std::move(link); }
    void SetKeyEditor(CKeySetControlUI* editor) { m_keyEditor = editor; }

    // The page's controls raise notifications too; the editor handles its own by their signals,
    // so a page only needs to know that the sender is the editor's.
    bool OwnsSender(const QWidget* sender) const { return sender && isAncestorOf(sender); }

    // ---- operations behind the controls (public for the page and tests) ----
    void SelectMacro(int m);
    void AddMacro();
    void DeleteMacro();
    void RenameMacro();
    void ImportMacro(const QString& path);
    void ExportMacro(const QString& path);
    void Save();
    void StartRecording(int timingMode, int mode);
    void StopRecording();
    bool IsRecording() const { return m_model.IsRecording(); }
    void OnMenuItem(const QString& item);

    MacroEditorModel& Model() { return m_model; }
    QWidget* Control(const char* name) const;
    QListWidget* NameList() const { return m_names; }
    QListWidget* ActionList() const { return m_actions; }
    // The delay edit of a row (nullptr when there is no such row).
    QLineEdit* DelayEdit(int row) const;

    // File dialogs (tests replace them): the chosen path, or empty.
    std::function<QString(bool forSave)> chooseFile;

    // ---- MacroEditorModel::Host ----
    bool Confirm(const std::string& messageKey) override;
    void Tell(const std::string& messageKey) override;
    std::vector<KeyEntry> KeyTable() override;
    void SetKeyTable(const std::vector<KeyEntry>& table) override;
    void MacroAdded(const std::string& name) override;
    void MacroRemoved(int position) override;
    void MacroRenamed(int position, const std::string& name) override;
    void KeysPruned() override;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void Bind();
    void ShowList();
    void ShowRows();
    void InsertRowWidget(int at);
    void UpdateRowWidget(int at);
    void ShowRecorded();
    void ShowEnabled();
    void ShowRecordSource();
    void ScrollLater();
    void AfterRowChange(); // rows shown again, then saved
    void LockForRecording(bool locked);
    void OnKey(uint8_t scanCode, bool extended, bool down);
    void OnMouse(uint16_t message, int xButton, QPoint globalPos);
    long EditNumber(const char* name) const;
    static std::string StyledEventText(const MacroEvent& event);

    MacroEditorModel m_model;
    DeviceLink m_link;
    QPointer<CKeySetControlUI> m_keyEditor;
    QPointer<QListWidget> m_names;
    QPointer<QListWidget> m_actions;
    QPointer<QLabel> m_recordSource;
    CMacroInputCapture* m_capture = nullptr;
    bool m_showing = false;
};

} // namespace nq::pages
