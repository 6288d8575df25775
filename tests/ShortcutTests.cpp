// The shortcut writer's calls on the shell's link object, on every path.
#include "double/TestDouble.h"
#include "shell/Shortcut.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::ElementsAre;

namespace
{

const char Create[] = "CoCreateInstance({00021401-0000-0000-C000-000000000046}, null, 1, "
                      "{000214EE-0000-0000-C000-000000000046})";
const char SetPath[] = "IShellLinkA::SetPath(\"C:\\Zarquel\\Zarquel32.exe\")";
const char SetWorkingDirectory[] = "IShellLinkA::SetWorkingDirectory(\"C:\\Zarquel\\\")";
const char SetDescription[] = "IShellLinkA::SetDescription(\"Zarquel\")";
const char QueryPersistFile[] =
    "IShellLinkA::QueryInterface({0000010B-0000-0000-C000-000000000046})";
const char Convert[] = "MultiByteToWideChar(0, 0, \"C:\\Links\\Zarquel.lnk\", -1, 260)";
const char Save[] = "IPersistFile::Save(L\"C:\\Links\\Zarquel.lnk\", 1)";
const char ReleaseFile[] = "IPersistFile::Release()";
const char ReleaseLink[] = "IShellLinkA::Release()";

HRESULT WriteZarquelShortcut(const char *linkPath = "C:\\Links\\Zarquel.lnk")
{
    return CreateShortcut("C:\\Zarquel\\Zarquel32.exe", "C:\\Zarquel\\", linkPath, "Zarquel");
}

} // namespace

TEST(CreateShortcut, SetsThePropertiesAndSavesThroughThePersistenceInterface)
{
    Double::Start({});
    EXPECT_EQ(WriteZarquelShortcut(), S_OK);
    EXPECT_THAT(Double::Calls(),
                ElementsAre(Create, SetPath, SetWorkingDirectory, SetDescription, QueryPersistFile,
                            Convert, Save, ReleaseFile, ReleaseLink));
}

TEST(CreateShortcut, ALinkObjectThatCannotBeCreatedEndsEverything)
{
    Double::Scenario scenario;
    scenario.createInstanceResults = {REGDB_E_CLASSNOTREG};
    Double::Start(scenario);
    EXPECT_EQ(WriteZarquelShortcut(), REGDB_E_CLASSNOTREG);
    EXPECT_THAT(Double::Calls(), ElementsAre(Create));
}

TEST(CreateShortcut, WithoutPersistenceOnlyTheLinkIsReleased)
{
    Double::Scenario scenario;
    scenario.queryInterfaceResults = {E_NOINTERFACE};
    Double::Start(scenario);
    EXPECT_EQ(WriteZarquelShortcut(), E_NOINTERFACE);
    EXPECT_THAT(Double::Calls(), ElementsAre(Create, SetPath, SetWorkingDirectory, SetDescription,
                                             QueryPersistFile, ReleaseLink));
}

TEST(CreateShortcut, FailingPropertiesLeaveTheDecisionToSave)
{
    Double::Scenario scenario;
    scenario.propertyResult = E_FAIL;
    Double::Start(scenario);
    EXPECT_EQ(WriteZarquelShortcut(), S_OK);
    EXPECT_THAT(Double::Calls(),
                ElementsAre(Create, SetPath, SetWorkingDirectory, SetDescription, QueryPersistFile,
                            Convert, Save, ReleaseFile, ReleaseLink));
}

TEST(CreateShortcut, ReturnsWhatSaveReturnsAfterBothReleases)
{
    for (HRESULT saved : {HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), S_FALSE, HRESULT(0x00040000)}) {
        Double::Scenario scenario;
        scenario.saveResults = {saved};
        Double::Start(scenario);
        EXPECT_EQ(WriteZarquelShortcut(), saved);
        EXPECT_THAT(Double::Calls(),
                    ElementsAre(Create, SetPath, SetWorkingDirectory, SetDescription,
                                QueryPersistFile, Convert, Save, ReleaseFile, ReleaseLink));
    }
}

TEST(CreateShortcut, ConvertsTheLinkPathWithTheAnsiCodePage)
{
    Double::Start({});
    CreateShortcut("C:\\Gr\xF6\xDF"
                   "e\\Zarquel32.exe",
                   "C:\\Gr\xF6\xDF"
                   "e\\",
                   "C:\\Links\\Gr\xF6\xDF"
                   "e \x80.lnk",
                   "Zarquel");
    EXPECT_THAT(Double::CallsTo("IPersistFile::Save"),
                ElementsAre("IPersistFile::Save(L\"C:\\Links\\Größe €.lnk\", 1)"));
}

TEST(CreateShortcut, RefusesALinkPathThatDoesNotFitItsWideBuffer)
{
    const std::string fits = "C:\\" + std::string(252, 'p') + ".lnk"; // 259 and the zero
    const std::string tooLong = fits + "k";

    Double::Start({});
    EXPECT_EQ(WriteZarquelShortcut(fits.c_str()), S_OK);
    EXPECT_EQ(Double::CallsTo("IPersistFile::Save").size(), 1u);

    Double::Start({});
    HRESULT result = WriteZarquelShortcut(tooLong.c_str());
    EXPECT_TRUE(FAILED(result));
    EXPECT_THAT(Double::CallsTo("IPersistFile::Save"), testing::IsEmpty());
    EXPECT_THAT(Double::CallsTo("IPersistFile::Release"), ElementsAre(ReleaseFile));
    EXPECT_THAT(Double::CallsTo("IShellLinkA::Release"), ElementsAre(ReleaseLink));
}
