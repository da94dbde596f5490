#pragma once
// The mouse's macro list as the device reads it: "macro.config" in the user folder, one
// {"MacroName", "Guid"} element of "MacroInfo" per macro, in list order (the position is the
// macro number key assignments carry). Each macro's events are in the user folder's
// Guid + ".mac". Read only: the macro editor owns these files.
#include "devices/MouseMacroImage.h"
#include "editors/KeyAssignment.h"

#include <string>
#include <vector>

namespace nq {

class MouseMacroList {
public:
    static constexpr const char* kListFile = "macro.config";
    static constexpr const char* kMacroExtension = ".mac";

    struct Macro {
        std::string name;
        std::string guid;
    };

    // Reads folder + "macro.config"; a missing or malformed list is empty.
    static MouseMacroList Load(const std::string& folder);
    // Keys assigned a macro (0x70, 0x71) numbered `macroCount` or above go back to their default
    // assignment. True when any changed.
    static bool RevertKeysBeyond(std::vector<KeyEntry>& keys, size_t macroCount);

    const std::vector<Macro>& Macros() const { return m_macros; }
    size_t Count() const { return m_macros.size(); }
    std::vector<std::string> Names() const;
    // The events of macro `index` (empty when its file is missing or its identifier is not a
    // plain file name).
    MouseMacroImage::Events ReadEvents(size_t index) const;
    // The events of every macro in list order.
    std::vector<MouseMacroImage::Events> ReadAllEvents() const;
    // The events of every macro of `folder`'s list into `blocks`: 0, or -1 when they do not fit in
    // memory (`blocks` is then empty).
    static int ReadFolderEvents(const std::string& folder, std::vector<MouseMacroImage::Events>& blocks);

    // The macros of a key save: read from the folder now (on the UI thread), sent later by the
    // device's transfer worker.
    struct Pending {
        std::vector<MouseMacroImage::Events> blocks;
        int read = 0; // ReadFolderEvents' result
        // WriteMacrosToDevice's result: `send(blocks)` runs only when the macros were read.
        template <class Sender> int Send(Sender&& send) const { return read != 0 ? read : send(blocks); }
    };
    static Pending ReadPending(const std::string& folder)
    {
        Pending pending;
        pending.read = ReadFolderEvents(folder, pending.blocks);
        return pending;
    }

private:
    std::string m_folder;
    std::vector<Macro> m_macros;
};

} // namespace nq
