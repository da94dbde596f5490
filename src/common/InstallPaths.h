#pragma once
#include <string>

namespace nq {

// Folder of the running executable, ending with "/".
std::string ExecutableFolder();

// The program folder: the folder that holds "skin/", "DefaultData/" and "Font/", ending with "/".
// Beside the executable in the build tree; <prefix>/share/nq501/ when installed; the source tree
// as a last resort. NQ501_DATA_DIR overrides all three.
std::string ProgramDataFolder();

} // namespace nq
