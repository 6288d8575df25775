// The shell link object: component services, reference counting, properties,
// and link files that an independent reader (lnkinfo) reads back.
#include "HostFixture.h"

#include "shell/Shortcut.h"

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

namespace
{

const IID IID_Unrelated = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

class ShellLink : public HostTest
{
  protected:
    void TearDown() override
    {
        while (Initialized-- > 0)
            CoUninitialize();
        HostTest::TearDown();
    }
    void Initialize()
    {
        ASSERT_GE(CoInitialize(nullptr), 0);
        Initialized++;
    }
    std::string Programs() const { return DriveC + "/WINDOWS/Start Menu/Programs"; }

  private:
    int Initialized = 0;
};

// What lnkinfo reads from a link file: the value of each "Name : value" line.
std::string LnkInfo(const std::string &file, const char *field)
{
    std::string command = std::string(LNKINFO_PROGRAM) + " '" + file + "' 2>&1";
    FILE *output = popen(command.c_str(), "r");
    if (!output)
        return "<lnkinfo did not run>";
    std::string value = "<no " + std::string(field) + ">";
    char line[4096];
    while (fgets(line, sizeof line, output)) {
        const char *colon = strchr(line, ':');
        if (!colon)
            continue;
        std::string name(line, static_cast<size_t>(colon - line));
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
        if (name != field)
            continue;
        value = colon + 1;
        value.erase(0, value.find_first_not_of(" \t"));
        value.erase(value.find_last_not_of(" \t\r\n") + 1);
    }
    pclose(output);
    return value;
}

TEST_F(ShellLink, CreatingTheObjectNeedsTheComponentLibrary)
{
    IShellLinkA *link = reinterpret_cast<IShellLinkA *>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void **>(&link)),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(link, nullptr);

    // Without it, the shortcut writer fails with that status and writes nothing.
    EXPECT_EQ(CreateShortcut("C:\\Zarquel\\Zarquel32.exe", "C:\\Zarquel\\",
                             "C:\\WINDOWS\\Start Menu\\Programs\\Zarquel.lnk", "Zarquel"),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(ListFolder(Programs()), "");
}

TEST_F(ShellLink, OnlyTheLinkClassAndItsInterfacesAreOffered)
{
    Initialize();
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE); // already initialised
    CoUninitialize();

    struct {
        const CLSID &classId;
        const IID &iid;
        HRESULT result;
    } rows[] = {
        {IID_Unrelated, IID_IShellLinkA, REGDB_E_CLASSNOTREG},
        {CLSID_ShellLink, IID_Unrelated, E_NOINTERFACE},
        {CLSID_ShellLink, IID_IShellLinkA, S_OK},
        {CLSID_ShellLink, IID_IPersistFile, S_OK},
        {CLSID_ShellLink, IID_IUnknown, S_OK},
    };
    for (const auto &row : rows) {
        IUnknown *object = reinterpret_cast<IUnknown *>(1);
        EXPECT_EQ(CoCreateInstance(row.classId, nullptr, CLSCTX_INPROC_SERVER, row.iid,
                                   reinterpret_cast<void **>(&object)),
                  row.result);
        EXPECT_EQ(object != nullptr, row.result == S_OK);
        if (object) {
            EXPECT_EQ(object->Release(), 0u);
        }
    }
}

TEST_F(ShellLink, ReferencesAreCountedAcrossInterfaces)
{
    Initialize();
    IShellLinkA *link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void **>(&link)),
              S_OK);
    IPersistFile *file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)), S_OK);
    IUnknown *unknown = nullptr;
    ASSERT_EQ(file->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&unknown)), S_OK);
    // One object: the identity and the properties are shared.
    EXPECT_EQ(unknown, static_cast<IUnknown *>(link));
    void *none = &none;
    EXPECT_EQ(link->QueryInterface(IID_Unrelated, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    CLSID classId = {};
    EXPECT_EQ(file->GetClassID(&classId), S_OK);
    EXPECT_TRUE(classId == CLSID_ShellLink);

    EXPECT_EQ(link->AddRef(), 4u);
    EXPECT_EQ(link->Release(), 3u);
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(file->Release(), 1u);
    EXPECT_EQ(link->Release(), 0u);
}

TEST_F(ShellLink, PropertiesReadBackAsSet)
{
    Initialize();
    IShellLinkA *link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void **>(&link)),
              S_OK);
    char text[260];
    EXPECT_EQ(link->GetPath(text, sizeof text, nullptr, 0), S_FALSE); // none yet
    EXPECT_STREQ(text, "");
    EXPECT_EQ(link->SetPath("C:\\Zarquel\\Zarquel32.exe"), S_OK);
    EXPECT_EQ(link->SetWorkingDirectory("C:\\Zarquel\\"), S_OK);
    EXPECT_EQ(link->SetDescription("Zarquel"), S_OK);
    EXPECT_EQ(link->GetPath(text, sizeof text, nullptr, 0), S_OK);
    EXPECT_STREQ(text, "C:\\Zarquel\\Zarquel32.exe");
    EXPECT_EQ(link->GetWorkingDirectory(text, sizeof text), S_OK);
    EXPECT_STREQ(text, "C:\\Zarquel\\");
    EXPECT_EQ(link->GetDescription(text, 4), S_OK); // cut to the room given
    EXPECT_STREQ(text, "Zar");
    // A path of MAX_PATH characters or more is refused; the old one stays.
    EXPECT_EQ(link->SetPath(std::string(260, 'a').c_str()), E_INVALIDARG);
    EXPECT_EQ(link->GetPath(text, sizeof text, nullptr, 0), S_OK);
    EXPECT_STREQ(text, "C:\\Zarquel\\Zarquel32.exe");
    link->Release();
}

struct LinkCase {
    const char *target;      // ANSI
    const char *working;     // ANSI
    const char *description; // ANSI
    const char *linkName;    // ANSI, in the Programs folder
    // What lnkinfo reads back (UTF-8), and the link file's name on disk.
    const char *readTarget;
    const char *readWorking;
    const char *readDescription;
    const char *hostName;
};

TEST_F(ShellLink, LinkFilesReadBackThroughLnkinfo)
{
    Initialize();
    WriteFile(DriveC + "/Zarquel/Zarquel32.EXE", "program");
    const LinkCase rows[] = {
        {"C:\\Zarquel\\Zarquel32.exe", "C:\\Zarquel\\", "Zarquel",
         "Zarquel - Win32 Data Plotter.lnk", "C:\\Zarquel\\Zarquel32.exe", "C:\\Zarquel\\",
         "Zarquel", "Zarquel - Win32 Data Plotter.lnk"},
        {"C:\\Zarquel Gr\xF6\xDF"
         "e\\Zarquel32.exe",
         "C:\\Zarquel Gr\xF6\xDF"
         "e\\",
         "Zarquel", "Zarquel.lnk",
         "C:\\Zarquel Gr\xC3\xB6\xC3\x9F"
         "e\\Zarquel32.exe",
         "C:\\Zarquel Gr\xC3\xB6\xC3\x9F"
         "e\\",
         "Zarquel", "Zarquel.lnk"},
        {"D:\\Mirtan.exe", "D:\\", "Mirtan \x80 Fitter", "Mirtan \xE9t\xE9.lnk", "D:\\Mirtan.exe",
         "D:\\", "Mirtan \xE2\x82\xAC Fitter", "Mirtan \xC3\xA9t\xC3\xA9.lnk"},
    };
    for (const LinkCase &row : rows) {
        std::string linkPath = std::string("C:\\WINDOWS\\Start Menu\\Programs\\") + row.linkName;
        ASSERT_EQ(CreateShortcut(row.target, row.working, linkPath.c_str(), row.description), S_OK)
            << row.target;
        std::string file = Programs() + "/" + row.hostName;
        ASSERT_TRUE(Exists(file)) << file;
        EXPECT_EQ(LnkInfo(file, "Local path"), row.readTarget);
        EXPECT_EQ(LnkInfo(file, "Working directory"), row.readWorking);
        EXPECT_EQ(LnkInfo(file, "Description"), row.readDescription);
    }
    // Nothing but the links: no temporary file is left behind.
    EXPECT_EQ(ListFolder(Programs()), "Mirtan \xC3\xA9t\xC3\xA9.lnk | Zarquel - Win32 Data "
                                      "Plotter.lnk | Zarquel.lnk");
}

TEST_F(ShellLink, LinkFileCarriesTheHeaderAndTheTargetsAttributes)
{
    Initialize();
    WriteFile(DriveC + "/Zarquel/Zarquel32.EXE", std::string(1234, 'x'));
    ASSERT_EQ(CreateShortcut("C:\\Zarquel\\Zarquel32.exe", "C:\\Zarquel\\",
                             "C:\\WINDOWS\\Start Menu\\Programs\\Zarquel.lnk", "Zarquel"),
              S_OK);
    std::string bytes = ReadFile(Programs() + "/Zarquel.lnk");
    ASSERT_GT(bytes.size(), 0x4Cu);
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
    };
    EXPECT_EQ(u32(0), 0x4Cu);
    EXPECT_EQ(bytes.substr(4, 16), std::string("\x01\x14\x02\x00\x00\x00\x00\x00"
                                               "\xC0\x00\x00\x00\x00\x00\x00\x46",
                                               16));
    // HasLinkInfo, HasName, HasWorkingDir, IsUnicode.
    EXPECT_EQ(u32(0x14), 0x02u | 0x04u | 0x10u | 0x80u);
    EXPECT_EQ(u32(0x18), 0x20u); // an archive file
    EXPECT_EQ(u32(0x34), 1234u); // its size
    EXPECT_EQ(u32(0x3C), 1u);    // shown normally
    EXPECT_EQ(LnkInfo(Programs() + "/Zarquel.lnk", "Drive type"), "Fixed (3)");
}

TEST_F(ShellLink, SaveReplacesAnExistingLinkOfAnyCase)
{
    Initialize();
    WriteFile(Programs() + "/zarquel.LNK", "an old link");
    ASSERT_EQ(CreateShortcut("C:\\Zarquel\\Zarquel32.exe", "C:\\Zarquel\\",
                             "C:\\WINDOWS\\Start Menu\\Programs\\Zarquel.lnk", "Zarquel"),
              S_OK);
    EXPECT_EQ(ListFolder(Programs()), "zarquel.LNK");
    EXPECT_EQ(LnkInfo(Programs() + "/zarquel.LNK", "Description"), "Zarquel");
}

TEST_F(ShellLink, SaveFailsWithoutWritingWhereItCannotWrite)
{
    Initialize();
    std::string readOnly = WriteFile(Programs() + "/Locked.lnk", "locked");
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    MakeFolder(Programs() + "/Folder.lnk");
    struct {
        const char *linkPath;
        HRESULT result;
    } rows[] = {
        {"C:\\WINDOWS\\Start Menu\\Missing\\Zarquel.lnk", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
        {"Q:\\Zarquel.lnk", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
        {"C:\\WINDOWS\\Start Menu\\Programs\\Locked.lnk", E_ACCESSDENIED},
        {"C:\\WINDOWS\\Start Menu\\Programs\\Folder.lnk", E_ACCESSDENIED},
        {"C:\\WINDOWS\\Start Menu\\Programs\\Zar?quel.lnk", HRESULT_FROM_WIN32(ERROR_INVALID_NAME)},
    };
    for (const auto &row : rows) {
        HRESULT result =
            CreateShortcut("C:\\Zarquel\\Zarquel32.exe", "C:\\Zarquel\\", row.linkPath, "Zarquel");
        EXPECT_LT(result, 0) << row.linkPath;
        EXPECT_EQ(result, row.result) << row.linkPath;
    }
    EXPECT_FALSE(Exists(DriveC + "/WINDOWS/Start Menu/Missing"));
    EXPECT_EQ(ListFolder(Programs()), "Folder.lnk | Locked.lnk");
    EXPECT_EQ(ReadFile(readOnly), "locked");
    EXPECT_EQ(ListFolder(DriveC + "/WINDOWS/Start Menu"), "Programs");
}

} // namespace
