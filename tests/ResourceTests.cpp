// Reads the compiled resource file, as the resource compiler wrote it, and
// checks both dialog templates field by field.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using testing::ElementsAre;

namespace
{

// Style bits, with the values Windows gives them.
const uint32_t Popup = 0x80000000, Child = 0x40000000, Visible = 0x10000000, Caption = 0x00C00000,
               Border = 0x00800000, SysMenu = 0x00080000, Group = 0x00020000, TabStop = 0x00010000,
               SetFont = 0x40;
const uint32_t PushButton = 0x0, Center = 0x300, LeftText = 0x0, LeftEdit = 0x0;
const uint16_t DialogType = 5;

// A name or an ordinal, as resources and templates store them; ordinals print as "#N".
struct Reader {
    const std::vector<uint8_t> &bytes;
    size_t at;

    uint16_t Word()
    {
        EXPECT_LE(at + 2, bytes.size()) << "read past the end";
        if (at + 2 > bytes.size())
            return 0;
        uint16_t value = static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return value;
    }
    uint32_t Dword()
    {
        uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    std::string Text() // zero-terminated UTF-16, ASCII expected
    {
        std::string text;
        for (uint16_t unit = Word(); unit != 0 && at < bytes.size(); unit = Word())
            text += unit < 0x80 ? static_cast<char>(unit) : '?';
        return text;
    }
    std::string NameOrOrdinal()
    {
        if (at + 2 <= bytes.size() && bytes[at] == 0xFF && bytes[at + 1] == 0xFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return Text();
    }
    void Align() { at = (at + 3) & ~size_t(3); }
};

struct Control {
    uint32_t style, exStyle;
    int x, y, width, height;
    uint16_t id;
    std::string className, text;
    uint16_t extraBytes;
};

struct Template {
    std::string name;
    uint16_t language = 0xFFFF;
    uint32_t first = 0; // a DLGTEMPLATEEX starts with version 1 and 0xFFFF
    uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string menu, windowClass, caption, face;
    uint16_t pointSize = 0;
    std::vector<Control> controls;
};

Template Parse(const std::vector<uint8_t> &bytes, size_t at, size_t size)
{
    Template dialog;
    Reader reader{bytes, at};
    dialog.first = dialog.style = reader.Dword();
    dialog.exStyle = reader.Dword();
    uint16_t count = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.width = reader.Short();
    dialog.height = reader.Short();
    dialog.menu = reader.NameOrOrdinal();
    dialog.windowClass = reader.NameOrOrdinal();
    dialog.caption = reader.Text();
    if (dialog.style & SetFont) {
        dialog.pointSize = reader.Word();
        dialog.face = reader.Text();
    }
    for (uint16_t i = 0; i < count; i++) {
        reader.Align();
        Control control;
        control.style = reader.Dword();
        control.exStyle = reader.Dword();
        control.x = reader.Short();
        control.y = reader.Short();
        control.width = reader.Short();
        control.height = reader.Short();
        control.id = reader.Word();
        control.className = reader.NameOrOrdinal();
        control.text = reader.NameOrOrdinal();
        control.extraBytes = reader.Word();
        reader.at += control.extraBytes;
        dialog.controls.push_back(control);
    }
    EXPECT_LE(reader.at, at + size) << "the template runs past its resource";
    return dialog;
}

// Every dialog resource in the file: a header of sizes, type, name and language, then the data.
std::vector<Template> DialogTemplates()
{
    std::ifstream file(INSTALLER_RES_PATH, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_FALSE(bytes.empty()) << INSTALLER_RES_PATH;

    std::vector<Template> templates;
    Reader reader{bytes, 0};
    while (reader.at + 32 <= bytes.size()) {
        size_t start = reader.at;
        uint32_t dataSize = reader.Dword();
        uint32_t headerSize = reader.Dword();
        std::string type = reader.NameOrOrdinal();
        std::string name = reader.NameOrOrdinal();
        reader.Align();
        reader.Dword(); // data version
        reader.Word();  // memory flags
        uint16_t language = reader.Word();
        if (type == "#" + std::to_string(DialogType)) {
            Template dialog = Parse(bytes, start + headerSize, dataSize);
            dialog.name = name;
            dialog.language = language;
            templates.push_back(dialog);
        }
        reader.at = start + headerSize + dataSize;
        reader.Align();
    }
    return templates;
}

const Template *Find(const std::vector<Template> &templates, const std::string &name)
{
    for (const Template &dialog : templates)
        if (dialog.name == name)
            return &dialog;
    return nullptr;
}

std::string Describe(const Control &c)
{
    return std::to_string(c.id) + " " + c.className + " \"" + c.text + "\" " + std::to_string(c.x) +
           "," + std::to_string(c.y) + "," + std::to_string(c.width) + "," +
           std::to_string(c.height) + " style " + std::to_string(c.style) + " ex " +
           std::to_string(c.exStyle) + " extra " + std::to_string(c.extraBytes);
}

std::string Expect(uint16_t id, const char *atom, const char *text, uint32_t style, int x, int y,
                   int width, int height)
{
    return Describe({style, 0, x, y, width, height, id, atom, text, 0});
}

} // namespace

TEST(DialogResources, HoldExactlyTheTwoTemplatesLanguageNeutralInTheClassicForm)
{
    std::vector<Template> templates = DialogTemplates();
    ASSERT_EQ(templates.size(), 2u);
    for (const Template &dialog : templates) {
        EXPECT_EQ(dialog.language, 0) << dialog.name;
        EXPECT_NE(dialog.first, 0xFFFF0001u) << dialog.name << " is a DLGTEMPLATEEX";
        EXPECT_EQ(dialog.exStyle, 0u) << dialog.name;
        EXPECT_EQ(dialog.menu, "") << dialog.name;
        EXPECT_EQ(dialog.windowClass, "") << dialog.name;
    }
    EXPECT_NE(Find(templates, "SETUPBOX"), nullptr);
    EXPECT_NE(Find(templates, "SHOWBOX"), nullptr);
}

TEST(DialogResources, SetupBoxTemplate)
{
    std::vector<Template> templates = DialogTemplates();
    const Template *dialog = Find(templates, "SETUPBOX");
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(dialog->style, Popup | Visible | Caption | SysMenu | SetFont);
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->width, 186);
    EXPECT_EQ(dialog->height, 90);
    EXPECT_EQ(dialog->caption, "Zarquel Software Installation");
    EXPECT_EQ(dialog->pointSize, 10);
    EXPECT_EQ(dialog->face, "MS Sans Serif");

    std::vector<std::string> controls;
    for (const Control &control : dialog->controls)
        controls.push_back(Describe(control));
    EXPECT_THAT(
        controls,
        ElementsAre(
            Expect(0, "#130", "The Zarquel files will be installed in the following folder:",
                   Child | Visible | LeftText, 4, 6, 178, 10),
            Expect(101, "#129", "C:\\Zarquel", Child | Visible | Border | TabStop | LeftEdit, 4, 18,
                   178, 12),
            Expect(0, "#130", "Start Menu shortcuts will be installed in the following folder:",
                   Child | Visible | LeftText, 4, 40, 178, 10),
            Expect(102, "#130", "C:\\Windows\\Start Menu\\Programs", Child | Visible | LeftText, 4,
                   52, 178, 8),
            Expect(1, "#128", "OK", Child | Visible | TabStop | PushButton | Center, 38, 70, 50,
                   14),
            Expect(2, "#128", "Cancel", Child | Visible | TabStop | PushButton | Center, 96, 70, 50,
                   14)));
}

TEST(DialogResources, ShowBoxTemplate)
{
    std::vector<Template> templates = DialogTemplates();
    const Template *dialog = Find(templates, "SHOWBOX");
    ASSERT_NE(dialog, nullptr);

    // No font of its own and no window menu: the default dialog font, no close box.
    EXPECT_EQ(dialog->style, Popup | Visible | Caption);
    EXPECT_EQ(dialog->x, 2);
    EXPECT_EQ(dialog->y, 12);
    EXPECT_EQ(dialog->width, 160);
    EXPECT_EQ(dialog->height, 10);
    EXPECT_EQ(dialog->caption, "Zarquel Software Installation Status");
    ASSERT_EQ(dialog->controls.size(), 1u);
    EXPECT_EQ(Describe(dialog->controls[0]),
              Expect(201, "#130", " ", Child | Visible | Group | LeftText, 4, 1, 172, 10));
}
