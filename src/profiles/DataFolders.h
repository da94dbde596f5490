#pragma once
// The program's folders. Every folder path ends with "/"; file names are appended directly.
//
//   program folder   the folder holding skin/, DefaultData/ and Font/ (see common/InstallPaths.h)
//   default folder   program folder + "DefaultData/" (installed, read only)
//   app data folder  $XDG_DATA_HOME/NQ501/ (default ~/.local/share/NQ501/), created when asked for
//   user folder      app data folder + device folder name + "/", created when asked for
//   download folder  $TMPDIR (or /tmp) + "/UpdateData/", created when asked for
//
// The device folder names are the device kind names: "mouse", "keyboard", "MousePad", "HD".
// Folders are created lazily, each time a path is asked for; a creation failure is traced and
// the path is returned all the same.
#include <string>

namespace nq {

std::string GetProgramFolder();
std::string GetDefaultFolder();
// The default profile of a device kind: default folder + folder name + ".Json".
std::string GetDefaultProfilePath(const std::string& folderName);
std::string GetAppDataFolder();
std::string GetUserFolder(const std::string& folderName);
std::string GetDownloadFolder();

// Creates the folder and its missing parents (mode 0700). True when it exists afterwards.
bool EnsureFolder(const std::string& path);

// Removes the temporary files that saves cut short by a crash or a kill left in the app data
// folder and the folders below it (down to kCleanDepth levels, links not followed). Creates
// nothing. Called once at start by the running instance; returns how many were removed.
constexpr int kCleanDepth = 3;
int RemoveInterruptedSaves();

} // namespace nq
