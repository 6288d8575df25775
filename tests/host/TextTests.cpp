// The ANSI code page (Windows-1252) as MultiByteToWideChar converts it, and
// the text lengths the installer measures.
#include "HostFixture.h"

#include "platform/host/HostText.h"

#include <vector>

namespace
{

struct ConversionCase {
    const char *ansi;
    int count; // -1: with the terminating zero
    std::vector<char16_t> wide;
};

TEST(MultiByteToWideChar, ConvertsWindows1252)
{
    const ConversionCase rows[] = {
        {"Zarquel", -1, {'Z', 'a', 'r', 'q', 'u', 'e', 'l', 0}},
        {"Gr\xF6\xDF"
         "e",
         -1,
         {'G', 'r', 0x00F6, 0x00DF, 'e', 0}},
        // The bytes 0x80 to 0x9F: euro sign, quotes, Ÿ, and the undefined ones
        // as the control characters of the same value.
        {"\x80\x84\x93\x9F\x81\x8D", -1, {0x20AC, 0x201E, 0x201C, 0x0178, 0x0081, 0x008D, 0}},
        {"\xA0\xFF", -1, {0x00A0, 0x00FF, 0}},
        // An explicit count converts just those bytes, zeros included.
        {"ab\0cd", 5, {'a', 'b', 0, 'c', 'd'}},
        {"\xE9t\xE9", 2, {0x00E9, 't'}},
    };
    for (const ConversionCase &row : rows) {
        char16_t wide[16];
        int converted = MultiByteToWideChar(CP_ACP, 0, row.ansi, row.count, wide, 16);
        ASSERT_EQ(converted, static_cast<int>(row.wide.size())) << row.ansi;
        EXPECT_EQ(std::vector<char16_t>(wide, wide + converted), row.wide) << row.ansi;
        // With no room given, the room needed.
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, row.ansi, row.count, nullptr, 0), converted);
    }
}

TEST(MultiByteToWideChar, TooSmallABufferFailsWithInsufficientBuffer)
{
    char16_t wide[8];
    for (char16_t &unit : wide)
        unit = u'#';
    SetLastError(0);
    // Five characters and the terminator do not fit five units.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0,
                                  "Gr\xF6\xDF"
                                  "e",
                                  -1, wide, 5),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(wide[5], u'#'); // nothing written beyond the room given
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0,
                                  "Gr\xF6\xDF"
                                  "e",
                                  -1, wide, 6),
              6);
}

TEST(MultiByteToWideChar, RefusesWhatWindowsRefuses)
{
    char16_t wide[8];
    struct {
        UINT codePage;
        DWORD flags;
        const char *text;
        int count;
        int room;
        DWORD error;
    } rows[] = {
        {CP_ACP, 0, nullptr, -1, 8, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, "text", 0, 8, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, "text", -2, 8, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, "text", -1, -1, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0x4, "text", -1, 8, ERROR_INVALID_FLAGS},
        {437, 0, "text", -1, 8, ERROR_INVALID_PARAMETER},
    };
    for (const auto &row : rows) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(row.codePage, row.flags, row.text, row.count, wide, row.room),
                  0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(row.error));
    }
    // The code page named by its number is the same as the ANSI code page.
    EXPECT_EQ(MultiByteToWideChar(1252, MB_PRECOMPOSED, "\x80", -1, wide, 8), 2);
    EXPECT_EQ(wide[0], 0x20AC);
}

TEST(lstrlenA, CountsBytes)
{
    EXPECT_EQ(lstrlenA("C:\\Zarquel\\"), 11);
    EXPECT_EQ(lstrlenA("Gr\xF6\xDF"
                       "e"),
              5);
    EXPECT_EQ(lstrlenA(""), 0);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST(HostText, ConversionsAreBoundedAndExact)
{
    char out[16];
    EXPECT_TRUE(AnsiToUtf8("Gr\xF6\xDF"
                           "e\x80",
                           out, sizeof out));
    EXPECT_STREQ(out, "Gr\xC3\xB6\xC3\x9F"
                      "e\xE2\x82\xAC");
    // "€" takes three bytes: "€€€€€" needs 16 with the terminator.
    EXPECT_FALSE(AnsiToUtf8("\x80\x80\x80\x80\x80", out, 15));
    EXPECT_STREQ(out, "");
    EXPECT_TRUE(AnsiToUtf8("\x80\x80\x80\x80\x80", out, 16));

    // Characters the code page lacks, and bytes that are not UTF-8, become '?'.
    EXPECT_TRUE(Utf8ToAnsi("\xC3\xB6\xE2\x82\xAC\xE4\xB8\xAD\xFF"
                           "a",
                           out, sizeof out));
    EXPECT_STREQ(out, "\xF6\x80??a");

    const char16_t wide[] = {'a', 0x00E9, 0xD83D, 0xDE00, 0xDC00, 0};
    EXPECT_TRUE(Utf16ToUtf8(wide, out, sizeof out));
    EXPECT_STREQ(out, "a\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(HostText, NamesMatchWithoutRegardToCase)
{
    struct {
        const char *first;
        const char *second;
        bool match;
    } rows[] = {
        {"Zarquel32.EXE", "zarquel32.exe", true},
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         "GR\xC3\x96\xC3\x9F"
         "E",
         true}, // Größe, GRÖßE
        {"\xC5\xA1\xC5\x93\xC5\xBE\xC3\xBF", "\xC5\xA0\xC5\x92\xC5\xBD\xC5\xB8", true}, // šœžÿ
        {"stra\xC3\x9F"
         "e",
         "STRASSE", false}, // no expansion, as Windows
        {"Zarquel", "Zarquel32", false},
        {"a\xFF", "A\xFF", false}, // not UTF-8: only the same bytes match
        {"a\xFF", "a\xFF", true},
    };
    for (const auto &row : rows)
        EXPECT_EQ(NamesMatch(row.first, row.second), row.match) << row.first << " " << row.second;
}

} // namespace
