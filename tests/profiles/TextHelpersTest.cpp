#include "profiles/TextHelpers.h"

#include <gtest/gtest.h>

#include <ctime>
#include <regex>

namespace {

TEST(TextHelpers, TimeStampNames)
{
    EXPECT_EQ(nq::FormatTimeStampName(2025, 2, 1, 9, 5, 3, 7), "2025_02_01_09_05_03_007");
    EXPECT_EQ(nq::FormatTimeStampName(2024, 3, 5, 14, 7, 9, 45), "2024_03_05_14_07_09_045");

    const std::string now = nq::MakeTimeStampName();
    ASSERT_TRUE(std::regex_match(now, std::regex(R"(\d{4}_\d\d_\d\d_\d\d_\d\d_\d\d_\d\d\d)"))) << now;
    // It is local time: the date part is today's (allowing for a test run across midnight).
    const time_t t = time(nullptr);
    struct tm local {};
    localtime_r(&t, &local);
    char today[16];
    strftime(today, sizeof(today), "%Y_%m_%d", &local);
    EXPECT_TRUE(now.rfind(today, 0) == 0 || local.tm_hour == 0) << now << " vs " << today;

    // Names made in a quick succession never collide and keep their order.
    std::vector<std::string> names;
    for (int i = 0; i < 2000; ++i)
        names.push_back(nq::MakeTimeStampName());
    for (size_t i = 1; i < names.size(); ++i)
        ASSERT_LT(names[i - 1], names[i]);
}

TEST(TextHelpers, SplitIndexedName)
{
    struct Case {
        std::string text;
        bool found;
        std::string prefix;
        int number;
    };
    const Case cases[] = {
        {"key_12", true, "key_", 12},
        {"LightTab1_color_option_3", true, "LightTab1_color_option_", 3},
        {"light_", true, "light_", 0},
        {"key_x", true, "key_", 0},
        {"DPI_slider_4abc", true, "DPI_slider_", 4},
        {"keyboard", false, "unchanged", -7},
        {"", false, "unchanged", -7},
        {"key_99999999999", true, "key_", 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string prefix = "unchanged";
        int number = -7;
        EXPECT_EQ(nq::SplitIndexedName(c.text, prefix, number), c.found);
        EXPECT_EQ(prefix, c.prefix);
        EXPECT_EQ(number, c.number);
    }
}

TEST(TextHelpers, IsBlankText)
{
    EXPECT_TRUE(nq::IsBlankText(std::string("   ")));
    EXPECT_TRUE(nq::IsBlankText(std::string("")));
    EXPECT_TRUE(nq::IsBlankText(std::string("\t\r\n ")));
    EXPECT_TRUE(nq::IsBlankText(std::string("\xE3\x80\x80")));  // ideographic space
    EXPECT_FALSE(nq::IsBlankText(std::string(" a ")));
    EXPECT_FALSE(nq::IsBlankText(std::string("配置")));
    EXPECT_TRUE(nq::IsBlankText(std::wstring(L"  \t")));
    EXPECT_FALSE(nq::IsBlankText(std::wstring(L" x")));
}

TEST(TextHelpers, Utf8AndWideText)
{
    const std::string text = "Profil \xC3\xA9 配置 \xF0\x9F\x8E\xAE";  // é, CJK, a game controller emoji
    const std::wstring wide = nq::Utf8ToWide(text);
    EXPECT_EQ(wide, std::wstring(L"Profil \u00E9 \u914D\u7F6E \U0001F3AE"));
    EXPECT_EQ(nq::WideToUtf8(wide), text);

    // Invalid input is replaced, never dropped silently or passed on.
    struct Case {
        std::string bytes;
        std::wstring wide;
    };
    const Case invalid[] = {
        {"Caf\xE9", L"Caf\uFFFD"},                 // a Latin-1 byte
        {"\xC0\xAF", L"\uFFFD\uFFFD"},             // overlong "/"
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},   // a surrogate
        {"ab\xE4\xB8", L"ab\uFFFD\uFFFD"},         // truncated sequence
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
    };
    for (const Case& c : invalid) {
        EXPECT_EQ(nq::Utf8ToWide(c.bytes), c.wide);
        EXPECT_EQ(nq::SanitizeUtf8(c.bytes), nq::WideToUtf8(c.wide));
    }
    EXPECT_EQ(nq::SanitizeUtf8(text), text);
    EXPECT_EQ(nq::SanitizeUtf8("\xEF\xBF\xBD ok"), "\xEF\xBF\xBD ok");
    EXPECT_EQ(nq::WideToUtf8(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD");
}

} // namespace
