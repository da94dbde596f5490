#include "app/CAppMessages.h"

#include "app/CMessageRegistry.h"

namespace nq::app {
namespace {

std::array<unsigned, 20>& HookNumbers()
{
    static std::array<unsigned, 20> numbers{};
    return numbers;
}

} // namespace

const std::array<std::string, 4>& CAppMessages::GuidNames()
{
    static const std::array<std::string, 4> names = {
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}",
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}",
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}",
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}",
    };
    return names;
}

const std::array<std::string, 20>& CAppMessages::HookNames()
{
    static const std::array<std::string, 20> names = {
        "WM_HOOK_KEY_SINGLEKEY_MSG",        "WM_HOOK_KEY_HITKEY_MSG",
        "WM_HOOK_KEY_KBMACRO_MSG",          "WM_HOOK_KEY_MSMACRO_MSG",
        "WM_HOOK_KEY_KBMACROSINGLE_MSG",    "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
        "WM_HOOK_KEY_KBMACROLATER_MSG",     "WM_HOOK_MOU_SINGLEKEY_MSG",
        "WM_HOOK_MOU_HITKEY_MSG",           "WM_HOOK_MOU_KBMACRO_MSG",
        "WM_HOOK_MOU_MSMACRO_MSG",          "WM_HOOK_KEY_MSMACROSINGLE_MSG",
        "WM_HOOK_KEY_MSMACROPREVIOUS_MSG",  "WM_HOOK_KEY_MSMACROLATER_MSG",
        "UWM_MOUSERBUTTONDOWN_USER_MSG",    "UWM_MOUSELBUTTONUP_USER_MSG",
        "UWM_MOUSELBUTTONDOWN_USER_MSG",    "UWM_MOUSERBUTTONUP_USER_MSG",
        "UWM_MOUSERBUTTONDOWN_USER_MSG",    "UWM_MOUSEMOVE_USER_MSG",
    };
    return names;
}

unsigned CAppMessages::RegisterIdentity()
{
    return CMessageRegistry::Instance().Register(kIdentity);
}

void CAppMessages::RegisterGuidMessages()
{
    for (const std::string& name : GuidNames())
        CMessageRegistry::Instance().Register(name);
}

void CAppMessages::RegisterHookMessages()
{
    const auto& names = HookNames();
    for (size_t i = 0; i < names.size(); ++i)
        HookNumbers()[i] = CMessageRegistry::Instance().Register(names[i]);
}

unsigned CAppMessages::Identity()
{
    return CMessageRegistry::Instance().Find(kIdentity);
}

unsigned CAppMessages::Guid(int suffix)
{
    if (suffix < 15 || suffix > 18)
        return 0;
    return CMessageRegistry::Instance().Find(GuidNames()[static_cast<size_t>(suffix - 15)]);
}

const std::array<unsigned, 20>& CAppMessages::Hooks()
{
    return HookNumbers();
}

} // namespace nq::app
