// The installer state's initial values, the two folder derivations and the
// bounded composition of paths.
#include "double/TestDouble.h"
#include "installer/InstallerState.h"
#include "installer/PathText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::ElementsAre;

TEST(InstallerState, StartsWithTheDefaultDestinationAndCopying)
{
    Double::Start({});
    EXPECT_EQ(InstallerState.CopyNeeded, 1);
    EXPECT_STREQ(InstallerState.DestFolder, "C:\\Zarquel\\");
    EXPECT_EQ(InstallerState.StatusLine, nullptr);
    for (const char *field :
         {InstallerState.ProgramsFolder, InstallerState.ShortcutPath, InstallerState.SetupFolder,
          InstallerState.WorkPath, InstallerState.TargetPath})
        EXPECT_STREQ(field, "");
    // The rest of the destination buffer is zero.
    for (size_t i = strlen("C:\\Zarquel\\"); i < sizeof InstallerState.DestFolder; i++)
        ASSERT_EQ(InstallerState.DestFolder[i], '\0') << "at " << i;
}

TEST(DeriveSetupFolder, KeepsTheNameUpToItsLastBackslashOrColon)
{
    const std::string longFolder = "C:\\" + std::string(240, 'k') + "\\";
    const struct {
        std::string moduleFileName;
        std::string setupFolder;
    } cases[] = {
        {"D:\\DISK1\\INSTALL.EXE", "D:\\DISK1\\"},
        {"A:\\INSTALL.EXE", "A:\\"},
        {"A:INSTALL.EXE", "A:"},
        {"\\\\SERVER\\KIT\\INSTALL.EXE", "\\\\SERVER\\KIT\\"},
        {"INSTALL.EXE", ""},
        {"", ""},
        // Multi-byte characters are not looked at: 0x5C is a backslash wherever it stands.
        {"D:\\\x83\x5C\\INSTALL.EXE", "D:\\\x83\x5C\\"},
        // A name of 259 characters, the most the field takes.
        {longFolder + std::string(259 - longFolder.size(), 'e'), longFolder},
    };
    for (const auto &c : cases) {
        Double::Scenario scenario;
        scenario.moduleFileName = c.moduleFileName;
        Double::Start(scenario);

        DeriveSetupFolder(Double::Module);

        EXPECT_EQ(InstallerState.SetupFolder, c.setupFolder) << c.moduleFileName;
        EXPECT_THAT(Double::Calls(), ElementsAre("GetModuleFileNameA(module, 260)"));
    }
}

TEST(DeriveSetupFolder, AnOverlongModuleNameIsCutByTheCallNotWrittenPastTheField)
{
    Double::Scenario scenario;
    scenario.moduleFileName = "C:\\" + std::string(300, 'n') + "\\INSTALL.EXE";
    Double::Start(scenario);

    DeriveSetupFolder(Double::Module);

    // The call hands over 259 characters, none of them a separator after C:\.
    EXPECT_STREQ(InstallerState.SetupFolder, "C:\\");
}

TEST(DeriveProgramsFolder, AppendsTheStartMenuProgramsFolder)
{
    const std::string windows239 = "C:\\" + std::string(236, 'w');
    const struct {
        std::string windowsDirectory;
        std::string programsFolder;
    } cases[] = {
        {"C:\\WINDOWS", "C:\\WINDOWS\\Start Menu\\Programs\\"},
        // Nothing removes a doubled separator.
        {"C:\\", "C:\\\\Start Menu\\Programs\\"},
        {"", "\\Start Menu\\Programs\\"},
        // 239 characters, the most the call may give, make 260.
        {windows239, windows239 + "\\Start Menu\\Programs\\"},
    };
    for (const auto &c : cases) {
        Double::Scenario scenario;
        scenario.windowsDirectory = c.windowsDirectory;
        Double::Start(scenario);

        DeriveProgramsFolder();

        EXPECT_EQ(InstallerState.ProgramsFolder, c.programsFolder) << c.windowsDirectory;
        EXPECT_THAT(Double::Calls(), ElementsAre("GetWindowsDirectoryA(240)"));
    }
    EXPECT_EQ(strlen(InstallerState.ProgramsFolder), 260u);
}

TEST(DeriveProgramsFolder, AWindowsDirectoryThatDoesNotFitStaysWithinTheField)
{
    Double::Scenario scenario;
    scenario.windowsDirectory = "C:\\" + std::string(400, 'w');
    Double::Start(scenario);

    DeriveProgramsFolder();

    // Whatever the call left in the buffer is cut at 239 characters.
    EXPECT_EQ(strlen(InstallerState.ProgramsFolder), 260u);
}

TEST(ComposeText, RefusesAPathOfTheFullRoomAndEmptiesTheField)
{
    char field[PathRoom];
    const std::string folder = "C:\\" + std::string(242, 'f') + "\\"; // 246 characters

    EXPECT_TRUE(ComposeText(field, folder.c_str(), "Zarquel32.exe")); // 259
    EXPECT_EQ(strlen(field), 259u);

    EXPECT_FALSE(ComposeText(field, folder.c_str(), "Zarquel32.EXE_")); // 260
    EXPECT_STREQ(field, "");
}

TEST(ComposeText, AppendsToTheFieldItself)
{
    char field[PathRoom] = "C:\\WINDOWS";
    EXPECT_TRUE(ComposeText(field, field, "\\Start Menu\\"));
    EXPECT_STREQ(field, "C:\\WINDOWS\\Start Menu\\");
}
