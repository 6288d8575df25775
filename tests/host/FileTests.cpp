// Folders, file copies and the presence probe, with the outcomes Windows gives.
#include "HostFixture.h"

#include <string.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace
{

// ---- CreateDirectoryA -------------------------------------------------------

struct FolderCase {
    const char *path;
    BOOL result;
    DWORD lastError;     // after SetLastError(0)
    const char *created; // the host folder that must exist afterwards, under drive_c
};

class CreateFolder : public HostTest
{
  protected:
    void SetUp() override
    {
        HostTest::SetUp();
        MakeFolder(DriveC + "/Zarquel");
        WriteFile(DriveC + "/Notes.TXT", "notes");
    }
};

TEST_F(CreateFolder, OutcomesAsTheInstallerReadsThem)
{
    const FolderCase rows[] = {
        {"C:\\Fresh\\", TRUE, ERROR_SUCCESS, "/Fresh"},
        {"C:\\Second", TRUE, ERROR_SUCCESS, "/Second"},
        {"c:/zarquel/Sub/", TRUE, ERROR_SUCCESS, "/Zarquel/Sub"},
        {"C:\\Zarquel Gr\xF6\xDF"
         "e\\",
         TRUE, ERROR_SUCCESS,
         "/Zarquel Gr\xC3\xB6\xC3\x9F"
         "e"},
        // An entry of that name, folder or file, in any letter case.
        {"C:\\Zarquel\\", FALSE, ERROR_ALREADY_EXISTS, "/Zarquel"},
        {"C:\\ZARQUEL\\", FALSE, ERROR_ALREADY_EXISTS, "/Zarquel"},
        {"C:\\notes.txt\\", FALSE, ERROR_ALREADY_EXISTS, nullptr},
        // One level only: a missing parent or drive.
        {"C:\\Missing\\Zarquel\\", FALSE, ERROR_PATH_NOT_FOUND, nullptr},
        {"Q:\\Zarquel\\", FALSE, ERROR_PATH_NOT_FOUND, nullptr},
        {"C:\\Notes.TXT\\Zarquel\\", FALSE, ERROR_PATH_NOT_FOUND, nullptr},
        {"C:\\Zar?quel\\", FALSE, ERROR_INVALID_NAME, nullptr},
        {"C:\\", FALSE, ERROR_ACCESS_DENIED, nullptr},
    };
    for (const FolderCase &row : rows) {
        SetLastError(0);
        EXPECT_EQ(CreateDirectoryA(row.path, nullptr), row.result) << row.path;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(row.lastError)) << row.path;
        if (row.created) {
            struct stat status;
            EXPECT_EQ(stat((DriveC + row.created).c_str(), &status), 0) << row.path;
            EXPECT_TRUE(S_ISDIR(status.st_mode)) << row.path;
        }
    }
    // Nothing was made where the call failed.
    EXPECT_EQ(ListFolder(DriveC),
              "Fresh | Notes.TXT | Second | WINDOWS | Zarquel | Zarquel Gr\xC3\xB6\xC3\x9F"
              "e");
    EXPECT_EQ(ListFolder(DriveC + "/Zarquel"), "Sub");
}

TEST_F(CreateFolder, SuccessLeavesAnEarlierLastErrorInPlace)
{
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(CreateDirectoryA("C:\\Fresh\\", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(CreateFolder, PathsLongerThanWindowsAllowsForAFolderAreRefused)
{
    // 247 characters is the longest folder path; 248 is refused.
    std::string longest = "C:\\" + std::string(244, 'a') + "\\";
    std::string tooLong = "C:\\" + std::string(245, 'b') + "\\";
    EXPECT_TRUE(CreateDirectoryA(longest.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(tooLong.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}

TEST_F(CreateFolder, HostErrorsAreMappedToWindowsCodes)
{
    // A folder on a file system mounted read-only cannot be had here; a host
    // name beyond the host's limit can: 100 euro signs are 300 bytes in UTF-8.
    std::string path = "C:\\" + std::string(100, '\x80') + "\\";
    EXPECT_FALSE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}

// ---- CopyFileA --------------------------------------------------------------

class CopyFile : public HostTest
{
  protected:
    void SetUp() override
    {
        HostTest::SetUp();
        WriteFile(Scratch + "/kit/Zarquel32.EXE", "program bytes");
        WriteFile(Scratch + "/kit/Zarquel.TXT", "new text");
        MakeFolder(Scratch + "/kit/Folder.DAT");
        MapDrive('d', Scratch + "/kit");
        MakeFolder(DriveC + "/Zarquel");
    }
};

TEST_F(CopyFile, CopiesUnderTheNameAsTyped)
{
    EXPECT_NE(CopyFileA("D:\\zarquel32.exe", "C:\\Zarquel\\Zarquel32.EXE", FALSE), 0);
    EXPECT_EQ(ReadFile(DriveC + "/Zarquel/Zarquel32.EXE"), "program bytes");
    EXPECT_EQ(ListFolder(DriveC + "/Zarquel"), "Zarquel32.EXE");
}

TEST_F(CopyFile, ReplacesAnExistingFileKeepingItsName)
{
    WriteFile(DriveC + "/Zarquel/zarquel.txt", "old text, longer than the new one");
    EXPECT_NE(CopyFileA("D:\\Zarquel.TXT", "C:\\Zarquel\\Zarquel.TXT", FALSE), 0);
    EXPECT_EQ(ReadFile(DriveC + "/Zarquel/zarquel.txt"), "new text");
    EXPECT_EQ(ListFolder(DriveC + "/Zarquel"), "zarquel.txt");
}

TEST_F(CopyFile, KeepsTheSourcesTimeAndReadOnlyAttribute)
{
    std::string source = WriteFile(Scratch + "/kit/Summary.DIZ", "summary");
    struct timeval times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimes(source.c_str(), times), 0);
    ASSERT_EQ(chmod(source.c_str(), 0444), 0);
    EXPECT_NE(CopyFileA("D:\\Summary.DIZ", "C:\\Zarquel\\Summary.DIZ", FALSE), 0);
    struct stat status;
    ASSERT_EQ(stat((DriveC + "/Zarquel/Summary.DIZ").c_str(), &status), 0);
    EXPECT_EQ(status.st_mtime, 1000000000);
    EXPECT_EQ(status.st_mode & 0222, 0u);
}

TEST_F(CopyFile, ReadOnlyTargetIsAccessDeniedAndUnchanged)
{
    std::string target = WriteFile(DriveC + "/Zarquel/Zarquel.TXT", "kept");
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    EXPECT_EQ(CopyFileA("D:\\Zarquel.TXT", "C:\\Zarquel\\Zarquel.TXT", FALSE), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadFile(target), "kept");
    EXPECT_EQ(ListFolder(DriveC + "/Zarquel"), "Zarquel.TXT");
}

TEST_F(CopyFile, SameFileIsRefusedAndItsDataKept)
{
    const char *targets[] = {"D:\\Zarquel.TXT", "d:\\ZARQUEL.txt", "C:\\Kit\\Zarquel.TXT"};
    ASSERT_EQ(symlink((Scratch + "/kit").c_str(), (DriveC + "/Kit").c_str()), 0);
    for (const char *target : targets) {
        SetLastError(0);
        EXPECT_EQ(CopyFileA("D:\\Zarquel.TXT", target, FALSE), 0) << target;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << target;
        EXPECT_EQ(ReadFile(Scratch + "/kit/Zarquel.TXT"), "new text") << target;
    }
    EXPECT_EQ(ListFolder(Scratch + "/kit"), "Folder.DAT | Zarquel.TXT | Zarquel32.EXE");
}

struct CopyFailure {
    const char *source;
    const char *target;
    BOOL failIfExists;
    DWORD lastError;
};

TEST_F(CopyFile, FailuresGiveWindowsCodesAndLeaveNothingBehind)
{
    WriteFile(DriveC + "/Zarquel/Present.TXT", "present");
    const CopyFailure rows[] = {
        {"D:\\Missing.TXT", "C:\\Zarquel\\Missing.TXT", FALSE, ERROR_FILE_NOT_FOUND},
        {"D:\\NoFolder\\Zarquel.TXT", "C:\\Zarquel\\Zarquel.TXT", FALSE, ERROR_PATH_NOT_FOUND},
        {"Q:\\Zarquel.TXT", "C:\\Zarquel\\Zarquel.TXT", FALSE, ERROR_PATH_NOT_FOUND},
        {"D:\\Folder.DAT", "C:\\Zarquel\\Folder.DAT", FALSE, ERROR_ACCESS_DENIED},
        {"D:\\Zarquel.TXT", "C:\\NoFolder\\Zarquel.TXT", FALSE, ERROR_PATH_NOT_FOUND},
        {"D:\\Zarquel.TXT", "C:\\Zarquel", FALSE, ERROR_ACCESS_DENIED},
        {"D:\\Zarquel.TXT", "C:\\Zarquel\\Present.TXT", TRUE, ERROR_FILE_EXISTS},
        {"D:\\Zarquel.TXT", "C:\\Zarquel\\Zar|quel.TXT", FALSE, ERROR_INVALID_NAME},
    };
    for (const CopyFailure &row : rows) {
        SetLastError(0);
        EXPECT_EQ(CopyFileA(row.source, row.target, row.failIfExists), 0) << row.source;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(row.lastError))
            << row.source << " -> " << row.target;
    }
    EXPECT_EQ(ListFolder(DriveC + "/Zarquel"), "Present.TXT");
    EXPECT_EQ(ReadFile(DriveC + "/Zarquel/Present.TXT"), "present");
}

TEST_F(CopyFile, LargeFilesArriveWhole)
{
    std::string content;
    for (uint32_t i = 0; i < 3 * 1024 * 1024 + 7; i++)
        content += static_cast<char>((i * 7919u) >> 3);
    WriteFile(Scratch + "/kit/Zarquel.DOC", content);
    EXPECT_NE(CopyFileA("D:\\Zarquel.DOC", "C:\\Zarquel\\Zarquel.DOC", FALSE), 0);
    EXPECT_TRUE(ReadFile(DriveC + "/Zarquel/Zarquel.DOC") == content);
    EXPECT_EQ(ListFolder(DriveC + "/Zarquel"), "Zarquel.DOC");
}

// ---- The presence probe -----------------------------------------------------

TEST_F(CopyFile, PresenceProbeOpensFilesOnlyInAnyCase)
{
    struct ProbeCase {
        const char *path;
        bool opens;
    } rows[] = {
        {"D:\\Zarquel32.exe", true},
        {"d:\\ZARQUEL32.EXE", true},
        {"D:\\Folder.DAT", false},
        {"D:\\Missing.EXE", false},
        {"D:\\", false},
        {"D:\\Zarquel32.EXE\\", false},
        {"Q:\\Zarquel32.EXE", false},
    };
    for (const ProbeCase &row : rows) {
        FILE *file = OpenForReading(row.path);
        EXPECT_EQ(file != nullptr, row.opens) << row.path;
        if (file) {
            char bytes[8] = {};
            EXPECT_EQ(fread(bytes, 1, 7, file), 7u);
            EXPECT_STREQ(bytes, "program");
        }
        CloseFile(file);
    }
}

} // namespace
