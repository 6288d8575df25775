// The prefix as a fresh Windows, the Windows directory, and the program's own
// file name through the drive that holds it.
#include "HostFixture.h"

#include <limits.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

std::string LinkTarget(const std::string &link)
{
    char target[PATH_MAX];
    ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length < 0)
        return "<no link>";
    target[length] = '\0';
    return target;
}

TEST_F(HostTest, AFreshPrefixLooksLikeAFreshWindows)
{
    struct stat status;
    EXPECT_EQ(stat((DriveC + "/WINDOWS/Start Menu/Programs").c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(LinkTarget(Prefix + "/dosdevices/c:"), "../drive_c");
    EXPECT_EQ(LinkTarget(Prefix + "/dosdevices/z:"), "/");
    EXPECT_EQ(ListFolder(Prefix + "/dosdevices"), "c: | z:");

    char folder[260];
    EXPECT_EQ(GetWindowsDirectoryA(folder, 240), 10u);
    EXPECT_STREQ(folder, "C:\\WINDOWS");
    // Too small: the room needed, terminator included, and the buffer untouched.
    char small[10] = "untouched";
    EXPECT_EQ(GetWindowsDirectoryA(small, sizeof small), 11u);
    EXPECT_STREQ(small, "untouched");
}

TEST_F(HostTest, APrefixIsSetUpAroundTheUsersOwnDriveLinks)
{
    std::string other = Scratch + "/other";
    MakeFolder(other + "/dosdevices");
    ASSERT_EQ(symlink("/media/cdrom", (other + "/dosdevices/d:").c_str()), 0);
    ASSERT_EQ(symlink("/srv", (other + "/dosdevices/z:").c_str()), 0);
    UsePrefix(other.c_str());
    char folder[260];
    GetWindowsDirectoryA(folder, 240);
    EXPECT_EQ(ListFolder(other + "/dosdevices"), "c: | d: | z:");
    EXPECT_EQ(LinkTarget(other + "/dosdevices/d:"), "/media/cdrom");
    EXPECT_EQ(LinkTarget(other + "/dosdevices/z:"), "/srv");
    EXPECT_TRUE(Exists(other + "/drive_c/WINDOWS/Start Menu/Programs"));

    // Once set up, a prefix is left as its user arranged it: no drive comes back.
    ASSERT_EQ(unlink((other + "/dosdevices/z:").c_str()), 0);
    UsePrefix(other.c_str());
    GetWindowsDirectoryA(folder, 240);
    EXPECT_EQ(ListFolder(other + "/dosdevices"), "c: | d:");
}

TEST_F(HostTest, RelativePrefixIsTakenFromTheCurrentFolder)
{
    ASSERT_EQ(chdir(Scratch.c_str()), 0);
    UsePrefix("relative/prefix");
    EXPECT_EQ(std::string(PrefixFolder()), Scratch + "/relative/prefix");
    EXPECT_TRUE(Exists(Scratch + "/relative/prefix/dosdevices/c:"));
}

struct ModuleCase {
    const char *drive;   // the drive's target, under the scratch folder
    const char *program; // the program's host path, under the scratch folder
    const char *windows; // its module file name
};

TEST_F(HostTest, ModuleFileNameComesThroughTheDriveThatHoldsItMostClosely)
{
    const ModuleCase rows[] = {
        {"/media/cdrom", "/media/cdrom/Install.EXE", "D:\\Install.EXE"},
        {"/media/cdrom", "/media/cdrom/DISK1/INSTALL.EXE", "D:\\DISK1\\INSTALL.EXE"},
        {"/media", "/media/cdrom/Install.EXE", "D:\\cdrom\\Install.EXE"},
        // The name as it is on disk, Windows-1252 letters included.
        {"/kit",
         "/kit/Gr\xC3\xB6\xC3\x9F"
         "e/Install.EXE",
         "D:\\Gr\xF6\xDF"
         "e\\Install.EXE"},
    };
    for (const ModuleCase &row : rows) {
        std::string program = WriteFile(Scratch + row.program, "#!");
        std::string link = Prefix + "/dosdevices/d:";
        unlink(link.c_str());
        MapDrive('d', Scratch + row.drive);
        RememberProgramPath(program.c_str());
        char name[260];
        EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), name, sizeof name),
                  strlen(row.windows));
        EXPECT_STREQ(name, row.windows);
        EXPECT_EQ(GetModuleFileNameA(nullptr, name, sizeof name), strlen(row.windows));
    }
}

TEST_F(HostTest, ModuleFileNameOutsideMappedDrivesComesThroughZ)
{
    std::string program = WriteFile(Scratch + "/bin/Install.EXE", "#!");
    RememberProgramPath(program.c_str());
    char name[260];
    ASSERT_GT(GetModuleFileNameA(nullptr, name, sizeof name), 0u);
    std::string expected = "Z:" + program;
    for (char &c : expected)
        c = c == '/' ? '\\' : c;
    EXPECT_EQ(std::string(name), expected);
}

TEST_F(HostTest, ModuleFileNameIsTheLinkTheUserRanNotItsTarget)
{
    std::string real = WriteFile(Scratch + "/build/Install.EXE", "#!");
    MakeFolder(Scratch + "/kit");
    ASSERT_EQ(symlink(real.c_str(), (Scratch + "/kit/Install.EXE").c_str()), 0);
    MapDrive('d', Scratch + "/kit");
    ASSERT_EQ(chdir((Scratch + "/kit").c_str()), 0);
    RememberProgramPath("./Install.EXE");
    char name[260];
    GetModuleFileNameA(nullptr, name, sizeof name);
    EXPECT_STREQ(name, "D:\\Install.EXE");
}

TEST_F(HostTest, ModuleFileNameIsCutAsWindowsCutsIt)
{
    std::string program = WriteFile(Scratch + "/kit/DISK1/INSTALL.EXE", "#!");
    MapDrive('d', Scratch + "/kit");
    RememberProgramPath(program.c_str());
    // "D:\DISK1\INSTALL.EXE" has 20 characters.
    char name[32];
    memset(name, '#', sizeof name);
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, name, 8), 8u);
    EXPECT_STREQ(name, "D:\\DISK");
    EXPECT_EQ(name[8], '#');
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, name, 21), 20u);
    EXPECT_STREQ(name, "D:\\DISK1\\INSTALL.EXE");
    EXPECT_EQ(GetLastError(), 0u);

    EXPECT_EQ(GetModuleFileNameA(nullptr, name, 20), 20u);
    EXPECT_STREQ(name, "D:\\DISK1\\INSTALL.EX");
}

TEST_F(HostTest, OtherModulesAreNotFound)
{
    char name[260];
    EXPECT_EQ(GetModuleHandleA("SHELL32.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    int other = 0;
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&other), name, sizeof name), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

} // namespace
