#pragma once
// The macro files of one device folder.
//
//   folder + "macro.config"      {"MacroInfo": [{"MacroName", "Guid"}, ...], other members kept}
//   folder + Guid + ".mac"       {"MacroName", "Guid", "Events": [...], "Version": 64}
//
// The position in "MacroInfo" is the macro number that key assignments carry. An identifier
// names a file in the folder: one that is empty, holds a path separator or is "." or ".." names
// no file, and every operation on it fails without touching the disk.
#include "macros/MacroEvent.h"

#include <string>
#include <vector>

namespace nq {

class MacroLibrary {
public:
    static constexpr const char* kListFile = "macro.config";
    static constexpr const char* kExtension = ".mac";
    static constexpr int kVersion = 64;
    static constexpr size_t kMaxMacros = 50;
    static constexpr size_t kMaxEvents = 2000;

    struct Entry {
        std::string name;
        std::string guid;
    };

    // What reading an event file found.
    enum class ReadState { Read, Missing, Malformed, BadIdentifier };

    explicit MacroLibrary(std::string folder = {}) : m_folder(std::move(folder)) {}
    void SetFolder(std::string folder) { m_folder = std::move(folder); }
    const std::string& Folder() const { return m_folder; }

    static bool IsSafeIdentifier(const std::string& guid);
    // folder + guid + ".mac", or empty for an identifier that names no file.
    std::string EventFilePath(const std::string& guid) const;

    // The list in order; empty when the file is missing or malformed.
    std::vector<Entry> ReadList() const;
    // Rewrites one element of "MacroInfo" / removes one / renames one, keeping every other
    // member of the document. A list file that exists but does not parse is first moved aside to
    // "macro.config.broken". False when the file could not be written.
    bool SetEntry(size_t position, const Entry& entry);
    bool RemoveEntry(size_t position);
    bool RenameEntry(size_t position, const std::string& name);

    // The events of a macro; a missing or malformed file gives none (and the file is left alone).
    std::vector<MacroEvent> ReadEvents(const std::string& guid, ReadState* state = nullptr) const;
    // Replaces the event file with the document of a save. False when it could not be written.
    bool WriteEvents(const std::string& guid, const std::string& name, const std::vector<MacroEvent>& events) const;
    // Writes a macro document to any path.
    static bool WriteDocument(const std::string& path, const std::string& guid, const std::string& name,
                              const std::vector<MacroEvent>& events);
    bool DeleteEventFile(const std::string& guid) const;
    // Byte-for-byte copies into and out of the folder (replacing the target atomically).
    bool ImportFile(const std::string& source, const std::string& guid) const;
    bool ExportFile(const std::string& guid, const std::string& target) const;

private:
    // The list document for a rewrite (an object; a malformed file moved aside first).
    bool ListForRewrite(Json::Value& document) const;
    // Sets the name (and the identifier when given) of one element of "MacroInfo".
    bool ChangeEntry(size_t position, const std::string& name, const std::string* guid);

    std::string m_folder;
};

} // namespace nq
