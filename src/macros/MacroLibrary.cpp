#include "macros/MacroLibrary.h"

#include "common/DebugLog.h"
#include "profiles/JsonFile.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace nq {

namespace {

// The whole file, or false when it cannot be read (or is larger than a data file may be).
bool ReadBytes(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size_t(size) > kMaxDataFileSize)
        return false;
    in.seekg(0);
    bytes.assign(size_t(size), '\0');
    return bool(in.read(bytes.data(), size));
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

} // namespace

bool MacroLibrary::IsSafeIdentifier(const std::string& guid)
{
    return !guid.empty() && guid != "." && guid != ".." && guid.find('/') == std::string::npos &&
           guid.find('\\') == std::string::npos && guid.find('\0') == std::string::npos;
}

std::string MacroLibrary::EventFilePath(const std::string& guid) const
{
    if (m_folder.empty() || !IsSafeIdentifier(guid))
        return {};
    return m_folder + guid + kExtension;
}

std::vector<MacroLibrary::Entry> MacroLibrary::ReadList() const
{
    std::vector<Entry> list;
    if (m_folder.empty())
        return list;
    const Json::Value document = ReadJsonFile(m_folder + kListFile);
    const Json::Value& info = document.isObject() ? document["MacroInfo"] : Json::Value::nullSingleton();
    if (!info.isArray())
        return list;
    for (const Json::Value& element : info) {
        Entry entry;
        if (element.isObject()) {
            if (element["MacroName"].isString())
                entry.name = element["MacroName"].asString();
            if (element["Guid"].isString())
                entry.guid = element["Guid"].asString();
        }
        list.push_back(std::move(entry));
    }
    return list;
}

bool MacroLibrary::ListForRewrite(Json::Value& document) const
{
    if (m_folder.empty())
        return false;
    const std::string path = m_folder + kListFile;
    document = ReadJsonFile(path);
    if (!document.isObject()) {
        // What cannot be read is kept aside, never silently replaced.
        if (Exists(path) && std::rename(path.c_str(), (path + ".broken").c_str()) != 0) {
            DebugOutF("macro list %s cannot be moved aside: errno %d", path.c_str(), errno);
            return false;
        }
        document = Json::Value(Json::objectValue);
    }
    if (!document["MacroInfo"].isArray())
        document["MacroInfo"] = Json::Value(Json::arrayValue);
    return true;
}

bool MacroLibrary::ChangeEntry(size_t position, const std::string& name, const std::string* guid)
{
    Json::Value document;
    if (!ListForRewrite(document))
        return false;
    Json::Value& element = document["MacroInfo"][Json::ArrayIndex(position)];
    if (!element.isObject())
        element = Json::Value(Json::objectValue);
    element["MacroName"] = name;
    if (guid)
        element["Guid"] = *guid;
    return WriteJsonFile(m_folder + kListFile, document);
}

bool MacroLibrary::SetEntry(size_t position, const Entry& entry) { return ChangeEntry(position, entry.name, &entry.guid); }

bool MacroLibrary::RenameEntry(size_t position, const std::string& name) { return ChangeEntry(position, name, nullptr); }

bool MacroLibrary::RemoveEntry(size_t position)
{
    Json::Value document;
    if (!ListForRewrite(document))
        return false;
    Json::Value& info = document["MacroInfo"];
    if (position >= info.size())
        return true;
    Json::Value removed;
    info.removeIndex(Json::ArrayIndex(position), &removed);
    return WriteJsonFile(m_folder + kListFile, document);
}

std::vector<MacroEvent> MacroLibrary::ReadEvents(const std::string& guid, ReadState* state) const
{
    std::vector<MacroEvent> events;
    ReadState found = ReadState::Read;
    const std::string path = EventFilePath(guid);
    if (path.empty()) {
        found = ReadState::BadIdentifier;
    } else if (!Exists(path)) {
        found = ReadState::Missing;
    } else {
        const Json::Value document = ReadJsonFile(path);
        if (!document.isObject()) {
            found = ReadState::Malformed;
        } else if (const Json::Value& list = document["Events"]; list.isArray()) {
            for (const Json::Value& element : list)
                events.push_back(MacroEvent::FromJson(element));
        }
    }
    if (state)
        *state = found;
    return events;
}

bool MacroLibrary::WriteEvents(const std::string& guid, const std::string& name,
                               const std::vector<MacroEvent>& events) const
{
    const std::string path = EventFilePath(guid);
    return !path.empty() && WriteDocument(path, guid, name, events);
}

bool MacroLibrary::WriteDocument(const std::string& path, const std::string& guid, const std::string& name,
                                 const std::vector<MacroEvent>& events)
{
    Json::Value document(Json::objectValue);
    document["MacroName"] = name;
    document["Guid"] = guid;
    Json::Value& list = document["Events"] = Json::Value(Json::arrayValue);
    for (const MacroEvent& event : events)
        list.append(event.ToJson());
    document["Version"] = kVersion;
    return WriteJsonFile(path, document);
}

bool MacroLibrary::DeleteEventFile(const std::string& guid) const
{
    const std::string path = EventFilePath(guid);
    if (path.empty())
        return false;
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool MacroLibrary::ImportFile(const std::string& source, const std::string& guid) const
{
    const std::string path = EventFilePath(guid);
    std::string bytes;
    if (path.empty() || !ReadBytes(source, bytes))
        return false;
    return WriteFileAtomically(path, bytes);
}

bool MacroLibrary::ExportFile(const std::string& guid, const std::string& target) const
{
    const std::string path = EventFilePath(guid);
    std::string bytes;
    if (path.empty() || target.empty() || !ReadBytes(path, bytes))
        return false;
    return WriteFileAtomically(target, bytes);
}

} // namespace nq
