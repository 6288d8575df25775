// Windows paths on the host: drives, case-insensitive names, Windows-1252
// names stored as UTF-8, and the names Windows refuses.
#include "HostFixture.h"

#include "platform/host/HostPaths.h"

#include <unistd.h>

namespace
{

struct PathCase {
    const char *windowsPath; // ANSI (Windows-1252)
    DWORD error;
    const char *hostPath; // under the prefix, when resolved
    bool exists;
};

class PathResolution : public HostTest
{
  protected:
    void SetUp() override
    {
        HostTest::SetUp();
        WriteFile(DriveC + "/Zarquel/Data.TXT", "data");
        MakeFolder(DriveC + "/Gr\xC3\xB6\xC3\x9F"
                            "e"); // "Größe" in UTF-8
        WriteFile(DriveC + "/Both/Foo", "capital");
        WriteFile(DriveC + "/Both/foo", "small");
        WriteFile(Scratch + "/kit/DISK1/Setup.INF", "kit");
        MapDrive('d', Scratch + "/kit");
    }

    void Check(const PathCase &row)
    {
        ResolvedPath resolved;
        DWORD error = ResolveAnsiPath(row.windowsPath, resolved);
        EXPECT_EQ(error, row.error) << row.windowsPath;
        if (error != ERROR_SUCCESS || row.error != ERROR_SUCCESS)
            return;
        EXPECT_EQ(std::string(resolved.host), Prefix + row.hostPath) << row.windowsPath;
        EXPECT_EQ(resolved.exists, row.exists) << row.windowsPath;
    }
};

TEST_F(PathResolution, NamesAreMatchedWithoutRegardToCase)
{
    const PathCase rows[] = {
        {"C:\\Zarquel\\Data.TXT", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        {"c:\\zarquel\\data.txt", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        {"C:/ZARQUEL/DATA.txt", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        {"C:\\\\Zarquel\\\\\\Data.TXT", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        // A new name keeps the letters as typed, under the existing folder's own name.
        {"C:\\ZARQUEL\\New.Txt", 0, "/dosdevices/c:/Zarquel/New.Txt", false},
        // An exact name wins; otherwise the first match in byte order.
        {"C:\\Both\\foo", 0, "/dosdevices/c:/Both/foo", true},
        {"C:\\Both\\FOO", 0, "/dosdevices/c:/Both/Foo", true},
        {"C:\\", 0, "/dosdevices/c:", true},
        {"d:\\disk1\\setup.inf", 0, "/dosdevices/d:/DISK1/Setup.INF", true},
    };
    for (const PathCase &row : rows)
        Check(row);
}

TEST_F(PathResolution, AnsiNamesAreUtf8OnDisk)
{
    const PathCase rows[] = {
        // "Größe", "GRÖßE" and "größe" in Windows-1252 name the UTF-8 folder "Größe".
        {"C:\\Gr\xF6\xDF"
         "e",
         0,
         "/dosdevices/c:/Gr\xC3\xB6\xC3\x9F"
         "e",
         true},
        {"C:\\GR\xD6\xDF"
         "E\\",
         0,
         "/dosdevices/c:/Gr\xC3\xB6\xC3\x9F"
         "e",
         true},
        {"C:\\gr\xF6\xDF"
         "e\\Neu",
         0,
         "/dosdevices/c:/Gr\xC3\xB6\xC3\x9F"
         "e/Neu",
         false},
        // The bytes 0x80 to 0x9F are letters of the code page: € and Ÿ.
        {"C:\\\x80\x9F", 0, "/dosdevices/c:/\xE2\x82\xAC\xC5\xB8", false},
    };
    for (const PathCase &row : rows)
        Check(row);
}

TEST_F(PathResolution, DotsAndTrailingCharactersAreTakenOutAsWindowsDoes)
{
    const PathCase rows[] = {
        {"C:\\Zarquel\\.\\Sub\\..\\Data.TXT", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        {"C:\\..\\..\\Zarquel\\Data.TXT", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        {"C:\\Zarquel\\Data.TXT. .", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        {"C:\\Zarquel.\\Data.TXT", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
    };
    for (const PathCase &row : rows)
        Check(row);
}

TEST_F(PathResolution, MissingDrivesAndFoldersGivePathNotFound)
{
    const PathCase rows[] = {
        {"Q:\\Zarquel\\", ERROR_PATH_NOT_FOUND, "", false},
        {"C:\\Missing\\Data.TXT", ERROR_PATH_NOT_FOUND, "", false},
        {"C:\\Missing\\Deeper\\", ERROR_PATH_NOT_FOUND, "", false},
        // A file on the way is no folder.
        {"C:\\Zarquel\\Data.TXT\\Inner", ERROR_PATH_NOT_FOUND, "", false},
        {"", ERROR_PATH_NOT_FOUND, "", false},
    };
    for (const PathCase &row : rows)
        Check(row);
}

TEST_F(PathResolution, DanglingDriveLinkIsNoDrive)
{
    MapDrive('e', Scratch + "/no-such-medium");
    Check({"E:\\Setup.EXE", ERROR_PATH_NOT_FOUND, "", false});
}

TEST_F(PathResolution, NamesWindowsRefusesAreInvalid)
{
    const PathCase rows[] = {
        {"C:\\a<b", ERROR_INVALID_NAME, "", false},
        {"C:\\a>b", ERROR_INVALID_NAME, "", false},
        {"C:\\a\"b", ERROR_INVALID_NAME, "", false},
        {"C:\\a|b", ERROR_INVALID_NAME, "", false},
        {"C:\\a?b", ERROR_INVALID_NAME, "", false},
        {"C:\\*", ERROR_INVALID_NAME, "", false},
        {"C:\\a:b", ERROR_INVALID_NAME, "", false},
        {"C:\\a\x01"
         "b",
         ERROR_INVALID_NAME, "", false},
        {"C:\\a\tb\\", ERROR_INVALID_NAME, "", false},
        // Refused wherever the name stands, even under a missing folder.
        {"C:\\Missing\\a?b", ERROR_INVALID_NAME, "", false},
        {"\\\\SERVER\\KIT\\Install.EXE", ERROR_BAD_NETPATH, "", false},
    };
    for (const PathCase &row : rows)
        Check(row);
}

TEST_F(PathResolution, PathsOfMaxPathOrMoreAreRefused)
{
    std::string fits = "C:\\" + std::string(255, 'a');    // 258 characters
    std::string tooLong = "C:\\" + std::string(257, 'a'); // 260 characters
    ResolvedPath resolved;
    EXPECT_EQ(ResolveAnsiPath(fits.c_str(), resolved), ERROR_SUCCESS);
    EXPECT_EQ(ResolveAnsiPath(tooLong.c_str(), resolved), ERROR_FILENAME_EXCED_RANGE);
}

TEST_F(PathResolution, RelativePathsStartFromTheCurrentFolder)
{
    ASSERT_EQ(chdir((DriveC + "/Zarquel").c_str()), 0);
    const PathCase rows[] = {
        {"data.txt", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        {"..\\Both\\Foo", 0, "/dosdevices/c:/Both/Foo", true},
        // Rooted without a drive: the current folder's drive.
        {"\\zarquel\\data.txt", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        // A drive without a separator: that drive's current folder.
        {"C:data.txt", 0, "/dosdevices/c:/Zarquel/Data.TXT", true},
        {"D:disk1", 0, "/dosdevices/d:/DISK1", true},
    };
    for (const PathCase &row : rows)
        Check(row);
}

TEST_F(PathResolution, HostPathsMapToTheDriveThatHoldsThemMostClosely)
{
    char windows[HostPathRoom];
    ASSERT_TRUE(
        WindowsPathOfHost((Scratch + "/kit/DISK1/Setup.INF").c_str(), windows, sizeof windows));
    EXPECT_STREQ(windows, "D:\\DISK1\\Setup.INF");
    ASSERT_TRUE(WindowsPathOfHost((DriveC + "/Zarquel").c_str(), windows, sizeof windows));
    EXPECT_STREQ(windows, "C:\\Zarquel");
    // Held only by Z:, which is linked to the host's root.
    ASSERT_TRUE(WindowsPathOfHost((Scratch + "/elsewhere").c_str(), windows, sizeof windows));
    std::string expected = "Z:" + Scratch + "/elsewhere";
    for (char &c : expected)
        c = c == '/' ? '\\' : c;
    EXPECT_EQ(std::string(windows), expected);
}

TEST_F(PathResolution, ADriveLinkedToAFileNamesNothing)
{
    std::string file = Scratch + "/kit/DISK1/Setup.INF";
    MapDrive('f', file);
    char windows[HostPathRoom];
    ASSERT_TRUE(WindowsPathOfHost(file.c_str(), windows, sizeof windows));
    EXPECT_STREQ(windows, "D:\\DISK1\\Setup.INF");
}

TEST_F(PathResolution, ZDriveReachesTheWholeHost)
{
    std::string path = "Z:" + DriveC + "/ZARQUEL/data.txt";
    for (char &c : path)
        c = c == '/' ? '\\' : c;
    ResolvedPath resolved;
    ASSERT_EQ(ResolveAnsiPath(path.c_str(), resolved), ERROR_SUCCESS);
    EXPECT_TRUE(resolved.exists);
    EXPECT_EQ(ReadFile(resolved.host), "data");
}

} // namespace
