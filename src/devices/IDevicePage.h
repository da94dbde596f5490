#pragma once
// What the device logic needs from its page, so the logic builds and runs without the widget
// toolkit. The Qt page implements these on its widgets; tests give a fake page.
#include <cstdint>
#include <string>
#include <vector>

namespace nq {

class IProfileList;

// One control of a device page. Pointers stay valid as long as the page lives.
class IPageControl {
public:
    virtual ~IPageControl() = default;
    virtual std::string ClassName() const = 0; // "DeviceKeyButton", "SelectPanel", ...
    virtual std::string Name() const = 0;
    virtual std::string UserData() const = 0;
    virtual std::string Text() const = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void Invalidate() = 0;
    virtual std::vector<IPageControl*> Children() const = 0;
    // Key buttons: the light image colour (red | green << 8 | blue << 16 as the device packs it),
    // its level 0-255 and whether it is shown. Other controls ignore it.
    virtual void SetLightColour(uint32_t colour, uint8_t level, bool show) = 0;
    // Tab layouts: show page `index`. Other controls ignore it.
    virtual void SelectTab(int index) = 0;
};

// The device page: the root control of the device's page tree.
class IDevicePage : public IPageControl {
public:
    // Any control of the page tree by name, or nullptr.
    virtual IPageControl* FindControl(const std::string& name) = 0;
    // The page's status line: what became of the user's last change, by language key (a write the
    // device refused or that never reached it, a profile that could not be saved). It stays until
    // replaced; an empty key clears it. Shown without blocking the window.
    virtual void ShowStatus(const std::string& /*textKey*/) {}
    // The page's profile list control ("DeviceProfileItem"), or nullptr when the page has none.
    virtual IProfileList* ProfileList() { return nullptr; }
};

} // namespace nq
