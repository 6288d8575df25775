// The dialog template reader against the compiled resource file that the
// host build embeds, and against malformed bytes.
#include "platform/host/ui/DialogTemplate.h"
#include "platform/host/ui/EmbeddedResource.h"
#include "ui/resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace HostUi;

namespace
{

std::vector<BYTE> ResourceFile()
{
    std::ifstream file(INSTALLER_RES_PATH, std::ios::binary);
    return std::vector<BYTE>{std::istreambuf_iterator<char>(file), {}};
}

// The embedded resource, looked up by name: the template's bytes.
std::vector<BYTE> TemplateBytes(const char *name)
{
    const BYTE *data = nullptr;
    size_t size = 0;
    EXPECT_TRUE(FindDialogResource(InstallerResource, InstallerResourceSize, name, &data, &size,
                                   nullptr, 0))
        << name;
    return data == nullptr ? std::vector<BYTE>() : std::vector<BYTE>(data, data + size);
}

bool Parses(const std::vector<BYTE> &bytes)
{
    static DialogTemplate dialog;
    return ParseDialogTemplate(bytes.data(), bytes.size(), &dialog);
}

} // namespace

TEST(DialogTemplateReader, EmbedsTheCompiledResourceFileUnchanged)
{
    std::vector<BYTE> file = ResourceFile();
    ASSERT_FALSE(file.empty()) << INSTALLER_RES_PATH;
    EXPECT_EQ(std::vector<BYTE>(InstallerResource, InstallerResource + InstallerResourceSize),
              file);
}

TEST(DialogTemplateReader, FindsDialogsByNameWithoutRegardToCase)
{
    struct Case {
        const char *name;
        const char *stored; // null: not found
    };
    const Case cases[] = {
        {"SetupBox", "SETUPBOX"}, {"SETUPBOX", "SETUPBOX"},
        {"setupbox", "SETUPBOX"}, {"ShowBox", "SHOWBOX"},
        {"showBOX", "SHOWBOX"},   {"SetupBo", nullptr},
        {"SetupBoxes", nullptr},  {"", nullptr},
        {"#1", nullptr},          {"Setup Box", nullptr},
    };
    for (const Case &each : cases) {
        const BYTE *data = nullptr;
        size_t size = 0;
        char stored[32] = "untouched";
        bool found = FindDialogResource(InstallerResource, InstallerResourceSize, each.name, &data,
                                        &size, stored, sizeof stored);
        EXPECT_EQ(found, each.stored != nullptr) << each.name;
        if (found && each.stored != nullptr) {
            EXPECT_STREQ(stored, each.stored) << each.name;
            EXPECT_GE(data, InstallerResource);
            EXPECT_LE(data + size, InstallerResource + InstallerResourceSize);
        }
    }
    // An integer resource name is an ordinal; the templates have names only.
    const BYTE *data = nullptr;
    size_t size = 0;
    EXPECT_FALSE(FindDialogResource(InstallerResource, InstallerResourceSize,
                                    reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(1)), &data,
                                    &size, nullptr, 0));
}

TEST(DialogTemplateReader, ReadsTheDestinationDialog)
{
    std::vector<BYTE> bytes = TemplateBytes("SetupBox");
    static DialogTemplate dialog;
    ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), &dialog));
    EXPECT_EQ(dialog.style, DWORD(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT));
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 186);
    EXPECT_EQ(dialog.cy, 90);
    EXPECT_FALSE(dialog.menu.isOrdinal);
    EXPECT_STREQ(dialog.menu.text, "");
    EXPECT_STREQ(dialog.windowClass.text, "");
    EXPECT_STREQ(dialog.title, "Zarquel Software Installation");
    EXPECT_EQ(dialog.pointSize, 10);
    EXPECT_STREQ(dialog.faceName, "MS Sans Serif");
    ASSERT_EQ(dialog.controlCount, 6);

    struct Expected {
        WORD id;
        WORD atom;
        const char *text;
        DWORD style;
        short x, y, cx, cy;
    };
    const DWORD visibleChild = WS_CHILD | WS_VISIBLE;
    const Expected controls[] = {
        {0, StaticClassAtom, "The Zarquel files will be installed in the following folder:",
         visibleChild | SS_LEFT, 4, 6, 178, 10},
        {DestFolderEdit, EditClassAtom, "C:\\Zarquel",
         visibleChild | WS_BORDER | WS_TABSTOP | ES_LEFT, 4, 18, 178, 12},
        {0, StaticClassAtom, "Start Menu shortcuts will be installed in the following folder:",
         visibleChild | SS_LEFT, 4, 40, 178, 10},
        {ProgramsFolderText, StaticClassAtom, "C:\\Windows\\Start Menu\\Programs",
         visibleChild | SS_LEFT, 4, 52, 178, 8},
        {IDOK, ButtonClassAtom, "OK", visibleChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER, 38, 70,
         50, 14},
        {IDCANCEL, ButtonClassAtom, "Cancel", visibleChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER,
         96, 70, 50, 14},
    };
    for (int i = 0; i < 6; i++) {
        const ControlTemplate &control = dialog.controls[i];
        const Expected &expected = controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(control.id, expected.id);
        EXPECT_TRUE(control.windowClass.isOrdinal);
        EXPECT_EQ(control.windowClass.ordinal, expected.atom);
        EXPECT_FALSE(control.title.isOrdinal);
        EXPECT_STREQ(control.title.text, expected.text);
        EXPECT_EQ(control.style, expected.style);
        EXPECT_EQ(control.exStyle, 0u);
        EXPECT_EQ(control.x, expected.x);
        EXPECT_EQ(control.y, expected.y);
        EXPECT_EQ(control.cx, expected.cx);
        EXPECT_EQ(control.cy, expected.cy);
        EXPECT_EQ(control.creationDataSize, 0);
    }
}

TEST(DialogTemplateReader, ReadsTheProgressWindow)
{
    std::vector<BYTE> bytes = TemplateBytes("ShowBox");
    static DialogTemplate dialog;
    ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), &dialog));
    EXPECT_EQ(dialog.style, DWORD(WS_POPUP | WS_VISIBLE | WS_CAPTION));
    EXPECT_EQ(dialog.x, 2);
    EXPECT_EQ(dialog.y, 12);
    EXPECT_EQ(dialog.cx, 160);
    EXPECT_EQ(dialog.cy, 10);
    EXPECT_STREQ(dialog.title, "Zarquel Software Installation Status");
    EXPECT_EQ(dialog.pointSize, 0);
    EXPECT_STREQ(dialog.faceName, "");
    ASSERT_EQ(dialog.controlCount, 1);
    const ControlTemplate &status = dialog.controls[0];
    EXPECT_EQ(status.id, StatusText);
    EXPECT_EQ(status.windowClass.ordinal, StaticClassAtom);
    EXPECT_STREQ(status.title.text, " ");
    EXPECT_EQ(status.style, DWORD(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT));
    EXPECT_EQ(status.x, 4);
    EXPECT_EQ(status.y, 1);
    EXPECT_EQ(status.cx, 172);
    EXPECT_EQ(status.cy, 10);
}

TEST(DialogTemplateReader, RefusesEveryTruncatedTemplate)
{
    for (const char *name : {"SetupBox", "ShowBox"}) {
        std::vector<BYTE> bytes = TemplateBytes(name);
        ASSERT_TRUE(Parses(bytes)) << name;
        // The last item ends with its creation-data size: every shorter prefix lacks something.
        for (size_t length = 0; length < bytes.size(); length++)
            EXPECT_FALSE(Parses(std::vector<BYTE>(bytes.begin(), bytes.begin() + length)))
                << name << " cut to " << length << " bytes";
    }
}

TEST(DialogTemplateReader, RefusesBadControlCountsAndForms)
{
    const std::vector<BYTE> good = TemplateBytes("SetupBox");
    struct Case {
        const char *what;
        size_t offset;
        std::vector<BYTE> bytes;
        bool parses;
    };
    // The control count is the WORD at offset 8; the style's low WORD comes first.
    const Case cases[] = {
        {"one control fewer than stored", 8, {5, 0}, true},
        {"one control more than stored", 8, {7, 0}, false},
        {"more controls than a dialog may have", 8, {33, 0}, false},
        {"the largest count", 8, {0xFF, 0xFF}, false},
        {"an extended template's signature", 0, {1, 0, 0xFF, 0xFF}, false},
        {"creation data beyond the end", good.size() - 2, {0x40, 0}, false},
    };
    for (const Case &each : cases) {
        std::vector<BYTE> bytes = good;
        std::copy(each.bytes.begin(), each.bytes.end(), bytes.begin() + each.offset);
        EXPECT_EQ(Parses(bytes), each.parses) << each.what;
    }

    // A caption without its terminating zero runs to the end of the bytes.
    std::vector<BYTE> unterminated(good.begin(), good.begin() + 22);
    for (int i = 0; i < 40; i++)
        unterminated.insert(unterminated.end(), {'A', 0});
    EXPECT_FALSE(Parses(unterminated));
}

TEST(DialogTemplateReader, SurvivesCorruptedBytes)
{
    // Every byte of both templates set to values that make counts, sizes and
    // name markers go wrong; whatever parses stays within its fields.
    for (const char *name : {"SetupBox", "ShowBox"}) {
        const std::vector<BYTE> good = TemplateBytes(name);
        for (size_t at = 0; at < good.size(); at++) {
            for (BYTE value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                std::vector<BYTE> bytes = good;
                bytes[at] = value;
                static DialogTemplate dialog;
                if (!ParseDialogTemplate(bytes.data(), bytes.size(), &dialog))
                    continue;
                ASSERT_LE(dialog.controlCount, TemplateMaxControls) << name << " byte " << at;
                EXPECT_LT(strnlen(dialog.title, TemplateTextRoom), size_t(TemplateTextRoom));
                for (int i = 0; i < dialog.controlCount; i++)
                    EXPECT_LT(strnlen(dialog.controls[i].title.text, TemplateTextRoom),
                              size_t(TemplateTextRoom));
            }
        }
    }
}

TEST(DialogTemplateReader, RefusesMalformedResourceFiles)
{
    const std::vector<BYTE> good(InstallerResource, InstallerResource + InstallerResourceSize);
    auto finds = [](const std::vector<BYTE> &bytes, const char *name) {
        const BYTE *data = nullptr;
        size_t size = 0;
        bool found = FindDialogResource(bytes.data(), bytes.size(), name, &data, &size, nullptr, 0);
        if (found) {
            EXPECT_GE(data, bytes.data());
            EXPECT_LE(data + size, bytes.data() + bytes.size());
        }
        return found;
    };
    ASSERT_TRUE(finds(good, "ShowBox"));

    // Cut anywhere: a resource is found only when its data lies within the bytes.
    for (size_t length = 0; length < good.size(); length++)
        finds(std::vector<BYTE>(good.begin(), good.begin() + length), "ShowBox");

    // The sizes of the first, empty resource: header and data sizes beyond the end.
    struct Case {
        const char *what;
        size_t offset;
        std::vector<BYTE> bytes;
    };
    const Case cases[] = {
        {"data larger than the file", 0, {0xF0, 0xFF, 0xFF, 0x7F}},
        {"header larger than the file", 4, {0xF0, 0xFF, 0xFF, 0x7F}},
        {"header too small for its names", 4, {8, 0, 0, 0}},
        {"the largest sizes", 0, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case &each : cases) {
        std::vector<BYTE> bytes = good;
        std::copy(each.bytes.begin(), each.bytes.end(), bytes.begin() + each.offset);
        EXPECT_FALSE(finds(bytes, "ShowBox")) << each.what;
    }
}
