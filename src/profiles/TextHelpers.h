#pragma once
// Small text helpers shared by the whole program: time-stamp identifiers, UTF-8 and wide text,
// blank tests and indexed control names.
#include <string>

namespace nq {

// The local date and time as "YYYY_MM_DD_hh_mm_ss_mmm", e.g. "2024_03_05_14_07_09_045".
// Unique within the process: a name asked for in the same millisecond as the previous one is
// moved on by a millisecond.
std::string MakeTimeStampName();
// The same for a given broken-down time; exposed for tests.
std::string FormatTimeStampName(int year, int month, int day, int hour, int minute, int second,
                                int millisecond);

// UTF-8 <-> wide text. Invalid UTF-8 sequences become U+FFFD; so do lone surrogates and values
// beyond U+10FFFF on the way back.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// Valid UTF-8: the text itself when it is valid, otherwise with every invalid sequence replaced
// by U+FFFD. Names read from data files pass through this.
std::string SanitizeUtf8(const std::string& text);

// True when the text is empty after removing leading and trailing white space.
bool IsBlankText(const std::string& text);
bool IsBlankText(const std::wstring& text);

// True when two UTF-8 texts are equal without regard to case (Unicode simple case folding, not
// only ASCII): "Profile2" equals "profile2", "ÄRGER" equals "ärger".
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// Splits "prefix_123" at its last "_": prefix "prefix_" and number 123 (leading digits of the
// rest, 0 when there are none). Returns false and leaves both outputs alone without a "_".
bool SplitIndexedName(const std::string& text, std::string& prefix, int& number);

} // namespace nq
