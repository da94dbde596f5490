#pragma once
// The profiles of one device: the list file "ProfileList.ini" in the device's user folder (a JSON
// document despite its name) and the operations on it, without any widget. The profile list
// control shows what this model holds: Names() are its combo items, Selected() its selection.
//
// The list file: {"profilelist": [{"profilename", "profileUUID", "profileislink": 0,
// "profilelinkmame": ""}, ...], "profileselect": index}. Entry i is combo item i; the profile file
// of an entry is user folder + "profileUUID" + ".Json" and carries the same "profilename" and
// "profileUUID" at its top level.
//
// Names are display text only: they never become part of a path (identifiers are made here, and
// an identifier read from a file that could leave the folder is replaced). Names are compared
// without regard to case. Every operation starts from the list file on disk and ends by writing
// it whole (atomically). Pages of devices that share a user folder share the list file: when the
// file no longer holds the shown list, the list is read again and the operation is not done, so
// that it never works on an entry the user did not see; a list file that went missing or broken
// meanwhile gets the shown list back.
#include <json/value.h>

#include <array>
#include <string>
#include <vector>

namespace nq {

class ProfileListModel {
public:
    static constexpr const char* kListFileName = "ProfileList.ini";
    static constexpr const char* kProfileExtension = ".Json";
    // Adding stops at this many profiles; copies and imports do not count against it.
    static constexpr int kAddLimit = 50;

    enum RenameResult : int { kRenameFailed = -1, kNameInUse = 0, kRenamed = 1, kNameBlank = 2 };
    enum class ImportResult {
        Imported,
        NotAProfile,  // lacks "profilename" or "profileUUID": ignored without a message
        Unreadable,   // not JSON, or no device node: refused with a message
        WrongDevice,  // a profile of another kind of device: refused with a message
        WriteFailed,  // the copy could not be written
        ListChanged,  // the list file changed underneath and was read again: nothing imported
    };

    // The eight editor tab options, by code 1..8.
    static constexpr std::array<const char*, 8> kEditorTabs = {
        "deng_Op_tab",       "key_Op_tab",   "macro_Op_tab",      "system_Op_tab",
        "cursor_Op_tab",     "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};
    struct TabVisibility {
        const char* name;
        bool visible;
    };
    // The tab options a device type hides or shows; tabs not named keep the layout's visibility.
    static std::vector<TabVisibility> EditorTabVisibility(int deviceType);

    void SetDeviceType(int type) { m_deviceType = type; }
    int DeviceType() const { return m_deviceType; }
    // The user folder ends with "/".
    void SetFolders(const std::string& userFolder, const std::string& defaultProfilePath);
    const std::string& UserFolder() const { return m_userFolder; }
    std::string ListPath() const { return m_userFolder + kListFileName; }
    std::string ProfilePath(const std::string& id) const { return m_userFolder + id + kProfileExtension; }

    // Reads the list file and selects its "profileselect" (entry 0 when that is not an entry).
    // Without a usable list (first start, or a file that cannot be read, which is kept as
    // ".broken"), the list is rebuilt from the profile files in the folder; with none there,
    // it holds one profile "profile1" made from the default profile.
    void Load();

    std::vector<std::string> Names() const;
    const std::string& NameAt(int index) const;
    int Count() const { return static_cast<int>(m_entries.size()); }
    // The shown selection; -1 before Load. The operations act on it.
    int Selected() const { return m_selected; }
    // The list control's selection changed (a profile chosen but not yet switched to): the
    // operations act on that entry; the current profile stays. -1 or an index outside: none.
    void SetShownSelection(int index) { m_selected = index >= 0 && index < Count() ? index : -1; }
    // The identifier of the current profile: the one last selected with Select.
    const std::string& CurrentProfileId() const { return m_currentId; }
    std::string IdAt(int index) const;
    // Moves on each time the list was read again because its file changed underneath; the
    // operation that found it did nothing.
    int Generation() const { return m_generation; }

    // Makes entry `index` current and writes it as "profileselect". False for an index outside
    // the list (nothing changes).
    bool Select(int index);
    // A new profile "profileN" (lowest free N) from the default profile, appended and named in
    // "profileselect"; the shown selection and the current profile do not change. False at the
    // add limit.
    bool Add();
    // Removes the selected profile and its file; "profileselect" and the shown selection become
    // the entry before it (entry 0 for the first). The current identifier stays until the next
    // Select. False with one profile or none selected.
    bool Delete();
    // Appends "<name> copy" (or "<name> copy copy", ...) holding the selected profile's file.
    bool Copy();
    // Validates the file and appends it as a new profile named after its "profilename"
    // ("A(1)", "A(1)(2)" while the name is in use); "profileselect" does not change.
    ImportResult Import(const std::string& path);
    // Writes the selected profile's file to `path`. False when it cannot be read or written.
    bool Export(const std::string& path) const;
    // Returns the selected profile to the default profile, keeping its name and identifier (and,
    // for the headset, its own equaliser presets).
    bool Reset();
    // Renames the selected profile: kNameBlank for a blank name, kNameInUse when another profile
    // has it (without regard to case), kRenamed otherwise; kRenameFailed when nothing is
    // selected or the list cannot be written. The name is kept as given.
    int Rename(const std::string& name);

    // The kind of device a profile document belongs to (1 keyboard, 2 mouse, 3 mousepad,
    // 7 headset), told by the sections of its device node; 0 when it has no device node.
    static int ProfileKind(const Json::Value& document);

private:
    struct Entry {
        std::string name;
        std::string id;
    };
    struct State {
        std::vector<Entry> entries;
        Json::Value document;
        int selected = -1;
    };

    // Takes the list document on disk when it still holds the shown entries. When another list is
    // there, it becomes the shown one (Generation() moves on) and false tells the operation to
    // stop; without a usable list on disk, the shown one is written back.
    bool Refresh();
    bool WriteList();
    std::string NewIdentifier() const;
    std::string NewProfileName() const;
    std::string UniqueName(std::string name) const;
    bool NameInUse(const std::string& name, int except = -1) const;
    Json::Value DefaultDocument() const;
    bool WriteProfile(Json::Value document, const Entry& entry) const;
    // Appends an entry to the entries and the document (entry i is "profilelist"[i]).
    void Append(const Entry& entry);
    bool AppendProfile(const Json::Value& document, const std::string& name, bool select = false);
    // Rebuilds the list from the profile files of the folder (profile1 when there are none).
    void Rebuild();
    // Entries read from a list document; false when it is not a usable list.
    bool TakeList(const Json::Value& document);
    int KindOfDevice() const;

    int m_deviceType = 0;
    std::string m_userFolder;
    std::string m_defaultPath;
    std::vector<Entry> m_entries;
    Json::Value m_document;  // the list document as last read or written
    int m_selected = -1;
    std::string m_currentId;
    bool m_listWritable = true;
    int m_generation = 0;
};

} // namespace nq
