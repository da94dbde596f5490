#include "profiles/ProfileListModel.h"

#include "common/DebugLog.h"
#include "profiles/FileBackup.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "profiles/TextHelpers.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nq {
namespace {

constexpr const char* kList = "profilelist";
constexpr const char* kSelect = "profileselect";
constexpr const char* kName = "profilename";
constexpr const char* kId = "profileUUID";
constexpr const char* kIsLink = "profileislink";
constexpr const char* kLinkName = "profilelinkmame";
constexpr size_t kMaxIdentifierLength = 128;

// An identifier is a file's base name in the user folder: letters, digits, "_", "-" and "."
// (not first), so that no identifier read from a file can name a path outside the folder.
bool IsSafeIdentifier(const std::string& id)
{
    if (id.empty() || id.size() > kMaxIdentifierLength || id.front() == '.')
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.';
    });
}

bool FileExists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// A list file that cannot be read is kept beside it before the list is rebuilt. False when it
// could not be kept: the file must then not be replaced.
bool KeepAsBroken(const std::string& path)
{
    const std::string aside = FileBackup::Keep(path);
    if (aside.empty())
        return false;
    DebugOutF("profile list unreadable, kept as %s", aside.c_str());
    return true;
}

bool HasAny(const Json::Value& node, std::initializer_list<const char*> keys)
{
    return std::any_of(keys.begin(), keys.end(), [&](const char* key) { return !JsonMember(node, key).isNull(); });
}

Json::Value NewListEntry(const std::string& name, const std::string& id)
{
    Json::Value entry(Json::objectValue);
    entry[kName] = name;
    entry[kId] = id;
    entry[kIsLink] = 0;
    entry[kLinkName] = "";
    return entry;
}

} // namespace

std::vector<ProfileListModel::TabVisibility> ProfileListModel::EditorTabVisibility(int deviceType)
{
    switch (deviceType) {
    case 1:
        return {{"cursor_Op_tab", false}};
    case 3:
    case 5:
        return {{"cursor_Op_tab", false}, {"macro_Op_tab", false}, {"system_Op_tab", false}, {"key_Op_tab", false}};
    case 4:
        return {{"cursor_Op_tab", false}, {"macro_Op_tab", false}, {"key_Op_tab", false}};
    case 7:
        return {{"cursor_Op_tab", false},    {"macro_Op_tab", false}, {"system_Op_tab", false},
                {"key_Op_tab", false},       {"6533_voice_Op_tab", true}, {"magic_Op_tab", true},
                {"Virtual7.1_Op_tab", true}};
    default:
        return {};
    }
}

int ProfileListModel::ProfileKind(const Json::Value& document)
{
    const Json::Value& node = JsonElement(JsonMember(document, "Device"), 0);
    if (!node.isObject())
        return 0;
    if (HasAny(node, {"SystemSetStages", "EQHzValueInfo", "CustomEQNameInfo", "CustomEQHzValueInfo"}))
        return 7;
    if (HasAny(node, {"DPIStages", "ReportStages", "CorrectInfo"}))
        return 2;
    if (HasAny(node, {"CustomLightMode", "LogoLightInfo", "StLightInfo"}) ||
        HasAny(JsonMember(node, "SystemStages"), {"Repeat", "RepeatDelay", "Key6Flag", "ScanDelay"}))
        return 1;
    if (HasAny(node, {"LightInfo", "LightList"}))
        return 3;
    return 0;
}

int ProfileListModel::KindOfDevice() const
{
    if (const int kind = ProfileKind(DefaultDocument()))
        return kind;
    switch (m_deviceType) {
    case 1: return 1;
    case 2:
    case 6: return 2;
    case 3:
    case 5: return 3;
    default: return 7;
    }
}

void ProfileListModel::SetFolders(const std::string& userFolder, const std::string& defaultProfilePath)
{
    m_userFolder = userFolder;
    if (!m_userFolder.empty() && m_userFolder.back() != '/')
        m_userFolder += '/';
    m_defaultPath = defaultProfilePath;
}

std::vector<std::string> ProfileListModel::Names() const
{
    std::vector<std::string> names;
    for (const Entry& entry : m_entries)
        names.push_back(entry.name);
    return names;
}

const std::string& ProfileListModel::NameAt(int index) const
{
    static const std::string none;
    return index >= 0 && index < Count() ? m_entries[size_t(index)].name : none;
}

std::string ProfileListModel::IdAt(int index) const
{
    return index >= 0 && index < Count() ? m_entries[size_t(index)].id : std::string();
}

// ---- reading and writing the list ----

bool ProfileListModel::TakeList(const Json::Value& document)
{
    const Json::Value& list = JsonMember(document, kList);
    if (!list.isArray())
        return false;
    std::vector<Entry> entries;
    Json::Value kept(Json::arrayValue);
    bool changed = false;
    for (const Json::Value& item : list) {
        if (!item.isObject()) {
            changed = true;
            continue;
        }
        Entry entry{JsonText(JsonMember(item, kName)), JsonText(JsonMember(item, kId))};
        Json::Value stored = item;
        const bool duplicate = std::any_of(entries.begin(), entries.end(),
                                           [&](const Entry& e) { return e.id == entry.id; });
        if (!IsSafeIdentifier(entry.id) || duplicate) {
            // An identifier that could name a path outside the folder is not used; a duplicate
            // would let one profile's deletion remove the other's file: each gets its own.
            const std::string id = NewIdentifier();
            if (duplicate) {
                const Json::Value shared = ReadJsonFile(ProfilePath(entry.id));
                if (shared.isObject())
                    WriteProfile(shared, {entry.name, id});
            }
            DebugOutF("profile list: entry \"%s\" gets identifier %s", entry.id.c_str(), id.c_str());
            entry.id = id;
            stored[kId] = id;
            changed = true;
        }
        entries.push_back(entry);
        kept.append(stored);
        m_entries = entries; // NewIdentifier looks at the entries taken so far
    }
    if (entries.empty())
        return false;
    m_entries = entries;
    m_document = document;
    m_document[kList] = kept;
    if (changed)
        WriteList();
    return true;
}

bool ProfileListModel::Refresh()
{
    const Json::Value document = ReadJsonFile(ListPath());
    const Json::Value& list = JsonMember(document, kList);
    bool matches = list.isArray() && list.size() == m_entries.size();
    for (Json::ArrayIndex i = 0; matches && i < list.size(); ++i)
        matches = JsonText(JsonMember(list[i], kId)) == m_entries[i].id;
    if (matches) {
        m_document = document;
        return true;
    }
    // Another page of the same folder (or another program) changed the list: it is shown as it
    // is now, and the operation does not go on with a list the user has not seen.
    const State shown{m_entries, m_document, m_selected};
    if (list.isArray() && TakeList(document)) {
        m_selected = 0;
        for (int i = 0; i < Count(); ++i) {
            if (m_entries[size_t(i)].id == m_currentId)
                m_selected = i;
        }
        ++m_generation;
        DebugOut("profile list file changed underneath; the list is read again");
        return false;
    }
    // No usable list on disk any more: the shown list is written back.
    m_entries = shown.entries;
    Json::Value rebuilt = shown.document.isObject() ? shown.document : Json::Value(Json::objectValue);
    Json::Value& entries = rebuilt[kList] = Json::Value(Json::arrayValue);
    for (const Entry& entry : m_entries)
        entries.append(NewListEntry(entry.name, entry.id));
    m_document = rebuilt;
    return true;
}

bool ProfileListModel::WriteList()
{
    if (!m_listWritable)
        return false;
    if (!m_document.isObject())
        m_document = Json::Value(Json::objectValue);
    if (!m_document[kSelect].isInt() || m_document[kSelect].asInt() < 0 ||
        m_document[kSelect].asInt() >= Count())
        m_document[kSelect] = 0;
    return WriteJsonFile(ListPath(), m_document);
}

std::string ProfileListModel::NewIdentifier() const
{
    // Unique within the process by construction; a file or entry of the same name (another
    // process, a clock set back) moves it on.
    for (;;) {
        const std::string id = MakeTimeStampName();
        const bool listed = std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.id == id; });
        if (!listed && !FileExists(ProfilePath(id)))
            return id;
    }
}

bool ProfileListModel::NameInUse(const std::string& name, int except) const
{
    for (int i = 0; i < Count(); ++i) {
        if (i != except && EqualsIgnoringCase(m_entries[size_t(i)].name, name))
            return true;
    }
    return false;
}

std::string ProfileListModel::NewProfileName() const
{
    for (int n = 1;; ++n) {
        const std::string name = "profile" + std::to_string(n);
        if (!NameInUse(name))
            return name;
    }
}

std::string ProfileListModel::UniqueName(std::string name) const
{
    for (int n = 1; NameInUse(name); ++n)
        name += "(" + std::to_string(n) + ")";
    return name;
}

Json::Value ProfileListModel::DefaultDocument() const
{
    Json::Value document = ReadJsonFile(m_defaultPath);
    return document.isObject() ? document : Json::Value(Json::objectValue);
}

bool ProfileListModel::WriteProfile(Json::Value document, const Entry& entry) const
{
    if (!document.isObject())
        document = Json::Value(Json::objectValue);
    document[kName] = entry.name;
    document[kId] = entry.id;
    return WriteJsonFile(ProfilePath(entry.id), document);
}

void ProfileListModel::Append(const Entry& entry)
{
    m_entries.push_back(entry);
    if (!m_document.isObject())
        m_document = Json::Value(Json::objectValue);
    if (!m_document[kList].isArray())
        m_document[kList] = Json::Value(Json::arrayValue);
    m_document[kList].append(NewListEntry(entry.name, entry.id));
}

bool ProfileListModel::AppendProfile(const Json::Value& document, const std::string& name, bool select)
{
    // The profile file first: the list never names a file that was not written.
    const Entry entry{name, NewIdentifier()};
    if (!WriteProfile(document, entry))
        return false;
    const State before{m_entries, m_document, m_selected};
    Append(entry);
    if (select)
        m_document[kSelect] = Count() - 1;
    if (WriteList())
        return true;
    m_entries = before.entries;
    m_document = before.document;
    unlink(ProfilePath(entry.id).c_str());
    return false;
}

// ---- load and select ----

void ProfileListModel::Load()
{
    m_listWritable = true;
    m_entries.clear();
    m_document = Json::Value();
    m_selected = -1;
    m_currentId.clear();
    const std::string path = ListPath();
    const std::string text = ReadTextFile(path);
    const Json::Value document = ParseJsonText(text);
    if (!TakeList(document)) {
        struct stat info {};
        const bool holdsSomething = text.find_first_not_of(" \t\r\n") != std::string::npos ||
                                    (text.empty() && stat(path.c_str(), &info) == 0 && info.st_size > 0);
        // An empty "profilelist" is a list without profiles, not a broken file.
        if (holdsSomething && !JsonMember(document, kList).isArray() && !KeepAsBroken(path))
            m_listWritable = false; // shown, but never written over the file that could not be kept
        Rebuild();
    }
    const Json::Value& select = JsonMember(m_document, kSelect);
    int index = select.isIntegral() && select.isInt() ? select.asInt() : 0;
    if (index < 0 || index >= Count())
        index = 0; // a hand-edited selection outside the list
    Select(index);
}

void ProfileListModel::Rebuild()
{
    m_entries.clear();
    m_document = Json::Value(Json::objectValue);
    m_document[kList] = Json::Value(Json::arrayValue);
    m_document[kSelect] = 0;

    // Profile files of the folder, oldest identifier first.
    std::vector<std::string> ids;
    bool legacy = false;
    if (DIR* dir = opendir(m_userFolder.c_str())) {
        const std::string extension = kProfileExtension;
        while (const dirent* item = readdir(dir)) {
            const std::string file = item->d_name;
            if (file.size() < extension.size() || file.compare(file.size() - extension.size(), extension.size(), extension) != 0)
                continue;
            const std::string id = file.substr(0, file.size() - extension.size());
            if (id.empty())
                legacy = true; // the single nameless profile of earlier versions
            else if (IsSafeIdentifier(id))
                ids.push_back(id);
        }
        closedir(dir);
    }
    std::sort(ids.begin(), ids.end());

    for (const std::string& id : ids) {
        const Json::Value document = ReadJsonFile(ProfilePath(id));
        std::string name = JsonText(JsonMember(document, kName));
        name = IsBlankText(name) ? NewProfileName() : UniqueName(name);
        Append({name, id});
        DebugOutF("profile list rebuilt: %s \"%s\"", id.c_str(), name.c_str());
    }
    // The single nameless profile of earlier versions becomes the first named one, once: only
    // while no named profile exists.
    if (legacy && ids.empty()) {
        const Json::Value document = ReadJsonFile(ProfilePath(""));
        if (document.isObject()) {
            const Entry entry{NewProfileName(), NewIdentifier()};
            if (WriteProfile(document, entry))
                Append(entry);
        }
    }
    if (m_entries.empty()) {
        const Entry first{"profile1", NewIdentifier()};
        Append(first);
        WriteList();
        WriteProfile(DefaultDocument(), first);
        return;
    }
    WriteList();
}

bool ProfileListModel::Select(int index)
{
    if (index < 0 || index >= Count())
        return false;
    if (!Refresh())
        return false;
    m_selected = index;
    m_currentId = m_entries[size_t(index)].id;
    // The file already naming this entry (every start) is left as it is.
    const Json::Value& select = JsonMember(m_document, kSelect);
    if (select.isInt() && select.asInt() == index)
        return true;
    m_document[kSelect] = index;
    WriteList();
    return true;
}

// ---- operations ----

bool ProfileListModel::Add()
{
    if (Count() >= kAddLimit)
        return false;
    if (!Refresh())
        return false;
    return AppendProfile(DefaultDocument(), NewProfileName(), true);
}

bool ProfileListModel::Delete()
{
    const int cur = m_selected;
    if (cur < 0 || cur >= Count() || Count() < 2)
        return false;
    if (!Refresh())
        return false;
    const int next = cur > 0 ? cur - 1 : 0;
    const State before{m_entries, m_document, m_selected};
    const std::string id = m_entries[size_t(cur)].id;
    m_entries.erase(m_entries.begin() + cur);
    Json::Value removed;
    m_document[kList].removeIndex(Json::ArrayIndex(cur), &removed);
    m_document[kSelect] = next;
    if (!WriteList()) {
        m_entries = before.entries;
        m_document = before.document;
        return false;
    }
    // The list no longer names the file before it goes; a failure to delete is only traced.
    if (unlink(ProfilePath(id).c_str()) != 0)
        DebugOutF("profile file not deleted: %s", ProfilePath(id).c_str());
    m_selected = next;
    return true;
}

bool ProfileListModel::Copy()
{
    const int cur = m_selected;
    if (cur < 0 || cur >= Count())
        return false;
    if (!Refresh())
        return false;
    std::string name = m_entries[size_t(cur)].name + " copy";
    while (NameInUse(name))
        name += " copy";
    return AppendProfile(ReadJsonFile(ProfilePath(m_entries[size_t(cur)].id)), name);
}

ProfileListModel::ImportResult ProfileListModel::Import(const std::string& path)
{
    const Json::Value document = ReadJsonFile(path);
    if (!document.isObject())
        return ImportResult::Unreadable;
    if (JsonMember(document, kName).isNull() || JsonMember(document, kId).isNull())
        return ImportResult::NotAProfile;
    const int kind = ProfileKind(document);
    if (kind == 0)
        return ImportResult::Unreadable;
    if (kind != KindOfDevice())
        return ImportResult::WrongDevice;
    if (!Refresh())
        return ImportResult::ListChanged;
    std::string name = JsonText(JsonMember(document, kName));
    if (IsBlankText(name))
        name = NewProfileName();
    return AppendProfile(document, UniqueName(name)) ? ImportResult::Imported : ImportResult::WriteFailed;
}

bool ProfileListModel::Export(const std::string& path) const
{
    const int cur = m_selected;
    if (cur < 0 || cur >= Count() || path.empty())
        return false;
    const Entry& entry = m_entries[size_t(cur)];
    Json::Value document = ReadJsonFile(ProfilePath(entry.id));
    if (!document.isObject())
        return false;
    // The exported file carries its identity, so it can be imported again.
    document[kName] = entry.name;
    document[kId] = entry.id;
    return WriteJsonFile(path, document);
}

bool ProfileListModel::Reset()
{
    const int cur = m_selected;
    if (cur < 0 || cur >= Count())
        return false;
    if (!Refresh())
        return false;
    const Entry& entry = m_entries[size_t(cur)];
    Json::Value document = DefaultDocument();
    if (m_deviceType == 7) {
        // The user's own equaliser presets survive a reset.
        const Json::Value current = ReadJsonFile(ProfilePath(entry.id));
        const Json::Value& node = JsonElement(JsonMember(current, "Device"), 0);
        for (const char* key : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
            const Json::Value& kept = JsonMember(node, key);
            if (!kept.isNull())
                JsonObjectMember(JsonArrayElement(JsonObjectMember(document, "Device"), 0), key) = kept;
        }
    }
    return WriteProfile(document, entry);
}

int ProfileListModel::Rename(const std::string& name)
{
    if (IsBlankText(name))
        return kNameBlank;
    const int cur = m_selected;
    if (cur < 0 || cur >= Count())
        return kRenameFailed;
    if (!Refresh())
        return kRenameFailed;
    if (NameInUse(name, cur))
        return kNameInUse;
    const std::string text = SanitizeUtf8(name);
    const State before{m_entries, m_document, m_selected};
    Entry& entry = m_entries[size_t(cur)];
    entry.name = text;
    m_document[kList][Json::ArrayIndex(cur)][kName] = text;
    if (!WriteList()) {
        m_entries = before.entries;
        m_document = before.document;
        return kRenameFailed;
    }
    // A profile file that cannot be read is left as it is (the device keeps it aside when it
    // loads it) rather than replaced by one holding only the name.
    Json::Value document = ReadJsonFile(ProfilePath(entry.id));
    if (document.isObject()) {
        document[kName] = text;
        WriteJsonFile(ProfilePath(entry.id), document);
    }
    return kRenamed;
}

} // namespace nq
