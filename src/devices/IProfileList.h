#pragma once
// The profile list control of a device page, as the device sees it while it builds its page: the
// device names its type and folders, lets the list load, selects the first editor tab and takes
// the current profile's identifier as its profile name.
#include <string>

namespace nq {

class IProfileList {
public:
    virtual ~IProfileList() = default;
    virtual void SetDeviceType(int type) = 0;
    virtual void SetFolders(const std::string& userFolder, const std::string& defaultProfilePath) = 0;
    virtual void LoadProfileList() = 0;
    virtual void SelectEditorTab(int code) = 0;
    virtual std::string CurrentProfileId() const = 0;
};

} // namespace nq
