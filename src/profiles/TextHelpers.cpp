#include "profiles/TextHelpers.h"

#include <chrono>
#include <cstdio>
#include <clocale>
#include <ctime>
#include <cwctype>
#include <locale.h>
#include <mutex>

namespace nq {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at `i`; advances `i` past it (one byte for an invalid sequence)
// and returns kReplacement for anything invalid (overlong forms, surrogates, > U+10FFFF).
char32_t DecodeOne(const std::string& text, size_t& i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + static_cast<size_t>(length) > text.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + static_cast<size_t>(k));
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += static_cast<size_t>(length);
    return value;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = kReplacement;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace

std::string FormatTimeStampName(int year, int month, int day, int hour, int minute, int second,
                                int millisecond)
{
    char buffer[64];
    snprintf(buffer, sizeof(buffer), "%d_%02d_%02d_%02d_%02d_%02d_%03d", year, month, day, hour, minute,
             second, millisecond);
    return buffer;
}

std::string MakeTimeStampName()
{
    // Names are file names and list keys: two asked for within the same millisecond would
    // collide, so each name is at least one millisecond after the previous one.
    static std::mutex lock;
    static int64_t last = 0;
    int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::system_clock::now().time_since_epoch()).count();
    {
        std::lock_guard<std::mutex> guard(lock);
        if (ms <= last)
            ms = last + 1;
        last = ms;
    }
    const time_t seconds = static_cast<time_t>(ms / 1000);
    const int millisecond = static_cast<int>(ms % 1000);
    struct tm local {};
    localtime_r(&seconds, &local);
    return FormatTimeStampName(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                               local.tm_sec, millisecond);
}

std::wstring Utf8ToWide(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t c = DecodeOne(text, i);
        if constexpr (sizeof(wchar_t) >= 4) {
            out.push_back(static_cast<wchar_t>(c));
        } else if (c >= 0x10000) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

std::string WideToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) < 4) {
            c &= 0xFFFF;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
                const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string SanitizeUtf8(const std::string& text)
{
    // Fast path: most texts are valid.
    bool valid = true;
    for (size_t i = 0; i < text.size() && valid;) {
        const size_t before = i;
        const char32_t c = DecodeOne(text, i);
        if (c == kReplacement && i - before == 1)  // a valid U+FFFD takes three bytes
            valid = false;
    }
    if (valid)
        return text;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        AppendUtf8(out, DecodeOne(text, i));
    return out;
}

bool IsBlankText(const std::wstring& text)
{
    // iswspace depends on the locale; the Unicode spaces users type (the ideographic space
    // above all) count as white space whatever the locale is.
    const auto isSpace = [](wchar_t c) {
        const auto u = static_cast<char32_t>(c);
        return std::iswspace(static_cast<wint_t>(c)) || u == 0x85 || u == 0xA0 || u == 0x1680 ||
               (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x202F ||
               u == 0x205F || u == 0x3000;
    };
    for (wchar_t c : text) {
        if (!isSpace(c))
            return false;
    }
    return true;
}

bool IsBlankText(const std::string& text)
{
    return IsBlankText(Utf8ToWide(text));
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    // The process locale may be "C", whose case mapping knows ASCII only: the UTF-8 locale is
    // asked for explicitly.
    static const locale_t utf8 = [] {
        locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
        return loc ? loc : newlocale(LC_CTYPE_MASK, "", nullptr);
    }();
    const std::wstring wa = Utf8ToWide(a);
    const std::wstring wb = Utf8ToWide(b);
    if (wa.size() != wb.size())
        return false;
    for (size_t i = 0; i < wa.size(); ++i) {
        const wint_t ca = static_cast<wint_t>(wa[i]);
        const wint_t cb = static_cast<wint_t>(wb[i]);
        if (ca == cb)
            continue;
        const wint_t la = utf8 ? towlower_l(ca, utf8) : std::towlower(ca);
        const wint_t lb = utf8 ? towlower_l(cb, utf8) : std::towlower(cb);
        if (la != lb)
            return false;
    }
    return true;
}

bool SplitIndexedName(const std::string& text, std::string& prefix, int& number)
{
    const size_t underscore = text.rfind('_');
    if (underscore == std::string::npos)
        return false;
    prefix = text.substr(0, underscore + 1);
    long long value = 0;
    for (size_t i = underscore + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > 0x7FFFFFFF) {  // keep within int; such names do not occur
            value = 0x7FFFFFFF;
        }
    }
    number = static_cast<int>(value);
    return true;
}

} // namespace nq
