#pragma once
// The text a device page shows for a key's assignment: a translated key, button or function
// name, a macro's name, or several key names joined with "+".
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editors/KeyAssignment.h"

namespace nq {

class KeyLabelText {
public:
    // Turns a language key into its text.
    using Translate = std::function<std::string(const std::string& languageKey)>;

    // The mouse page's text for an assignment; nullopt when the page leaves the label as it is.
    // A function code the page does not know shows a fixed "off" text.
    static std::optional<std::string> ForMouse(const KeyAssignment& a,
                                               const std::vector<std::string>& macroNames,
                                               const Translate& translate);
    // The keyboard page's text for an assignment; nullopt when the label stays as it is.
    static std::optional<std::string> ForKeyboard(const KeyAssignment& a,
                                                  const std::vector<std::string>& macroNames,
                                                  const Translate& translate);

    // Code 0x00 / 0x20: the key code table row with these parameters; otherwise the rows of the
    // same code that share the modifier bits or the key, joined with "+" ("close_text" when both
    // parameters are 0).
    static std::string KeyText(const KeyAssignment& a, const Translate& translate);
};

} // namespace nq
