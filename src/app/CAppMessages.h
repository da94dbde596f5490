#pragma once
// The named messages this program exchanges with other processes: the identity message, the
// four GUID messages and the twenty hook messages, registered by name in CMessageRegistry.
#include <array>
#include <string>

namespace nq::app {

class CAppMessages {
public:
    static constexpr const char* kIdentity = "NQ501";
    // GUID messages ...15 to ...18.
    static const std::array<std::string, 4>& GuidNames();
    // The hook messages in their fixed order; the nineteenth repeats the fifteenth.
    static const std::array<std::string, 20>& HookNames();

    static unsigned RegisterIdentity();
    // Registers the GUID messages in the order 15, 16, 17, 18.
    static void RegisterGuidMessages();
    static void RegisterHookMessages();

    static unsigned Identity();
    // number of GUID message 15..18, 0 for any other suffix or before registration.
    static unsigned Guid(int suffix);
    // The twenty hook message numbers in order (0 before registration).
    static const std::array<unsigned, 20>& Hooks();
};

} // namespace nq::app
