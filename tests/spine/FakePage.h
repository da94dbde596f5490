#pragma once
// A device page without widgets: a tree of named controls that records what the device logic
// does to them.
#include "devices/IDevicePage.h"
#include "devices/IDeviceTimerHost.h"
#include "devices/IPowerDisplay.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace nqtest {

class FakeControl : public nq::IPageControl {
public:
    FakeControl(std::string cls, std::string name, std::string userData = {})
        : cls(std::move(cls)), name(std::move(name)), userData(std::move(userData)) {}

    std::string ClassName() const override { return cls; }
    std::string Name() const override { return name; }
    std::string UserData() const override { return userData; }
    std::string Text() const override { return text; }
    bool IsVisible() const override { return visible; }
    void SetVisible(bool v) override { visible = v; }
    void Invalidate() override { ++invalidations; }
    std::vector<nq::IPageControl*> Children() const override
    {
        std::vector<nq::IPageControl*> out;
        for (auto& child : children)
            out.push_back(child.get());
        return out;
    }
    void SetLightColour(uint32_t c, uint8_t l, bool s) override
    {
        colour = c;
        level = l;
        shown = s;
        ++lightUpdates;
    }
    void SelectTab(int index) override { selectedTab = index; }

    FakeControl* Add(std::string childClass, std::string childName, std::string childData = {})
    {
        children.push_back(std::make_unique<FakeControl>(std::move(childClass), std::move(childName), std::move(childData)));
        return children.back().get();
    }

    std::string cls, name, userData, text;
    bool visible = true;
    int invalidations = 0;
    uint32_t colour = 0;
    uint8_t level = 0;
    bool shown = false;
    int lightUpdates = 0;
    int selectedTab = -1;
    std::vector<std::unique_ptr<FakeControl>> children;
};

class FakePage : public nq::IDevicePage {
public:
    FakeControl root{"KelvaskUSBDevice", "page"};

    std::string ClassName() const override { return root.ClassName(); }
    std::string Name() const override { return root.Name(); }
    std::string UserData() const override { return {}; }
    std::string Text() const override { return {}; }
    bool IsVisible() const override { return true; }
    void SetVisible(bool) override {}
    void Invalidate() override {}
    std::vector<nq::IPageControl*> Children() const override { return root.Children(); }
    void SetLightColour(uint32_t, uint8_t, bool) override {}
    void SelectTab(int) override {}
    nq::IPageControl* FindControl(const std::string& name) override { return Find(&root, name); }

private:
    static FakeControl* Find(FakeControl* control, const std::string& name)
    {
        if (control->name == name)
            return control;
        for (auto& child : control->children)
            if (FakeControl* found = Find(child.get(), name))
                return found;
        return nullptr;
    }
};

class FakeTimerHost : public nq::IDeviceTimerHost {
public:
    void SetTimer(int id, uint32_t periodMs) override
    {
        std::lock_guard<std::mutex> guard(lock);
        armed[id] = periodMs;
    }
    void KillTimer(int id) override
    {
        std::lock_guard<std::mutex> guard(lock);
        armed.erase(id);
    }
    bool IsArmed(int id)
    {
        std::lock_guard<std::mutex> guard(lock);
        return armed.count(id) != 0;
    }
    std::mutex lock;
    std::map<int, uint32_t> armed;
};

class FakePowerDisplay : public nq::IPowerDisplay {
public:
    void Update(const uint8_t* status, size_t length) override
    {
        last.assign(status, status + length);
        ++updates;
    }
    void SetPowerLayoutVisible(bool visible) override { layoutVisible = visible; }
    std::vector<uint8_t> last;
    int updates = 0;
    bool layoutVisible = true;
};

} // namespace nqtest
