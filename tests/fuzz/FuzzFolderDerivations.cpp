// The two folder derivations fed arbitrary module names and Windows
// directories, longer than the limits of their calls.
#include "double/TestDouble.h"
#include "fuzz/FuzzCheck.h"
#include "installer/InstallerState.h"

#include <string.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 700)
        return 0;
    // A zero byte separates the module file name from the Windows directory.
    std::string input(reinterpret_cast<const char *>(data), size);
    size_t split = input.find('\0');
    Double::Scenario scenario;
    scenario.moduleFileName = input.substr(0, split);
    scenario.windowsDirectory = split == std::string::npos ? "" : input.substr(split + 1);
    scenario.windowsDirectory =
        scenario.windowsDirectory.substr(0, scenario.windowsDirectory.find('\0'));
    Double::Start(scenario);

    DeriveSetupFolder(Double::Module);
    DeriveProgramsFolder();

    const char *setup = InstallerState.SetupFolder;
    size_t setupLength = strnlen(setup, sizeof InstallerState.SetupFolder);
    Require(setupLength < sizeof InstallerState.SetupFolder);
    // The folder is the start of the module name, ending at a backslash or colon.
    Require(scenario.moduleFileName.compare(0, setupLength, setup) == 0);
    Require(setupLength == 0 || setup[setupLength - 1] == '\\' || setup[setupLength - 1] == ':');

    const char *programs = InstallerState.ProgramsFolder;
    size_t programsLength = strnlen(programs, sizeof InstallerState.ProgramsFolder);
    Require(programsLength < sizeof InstallerState.ProgramsFolder);
    const char suffix[] = "\\Start Menu\\Programs\\";
    Require(programsLength >= strlen(suffix) &&
            strcmp(programs + programsLength - strlen(suffix), suffix) == 0);
    if (scenario.windowsDirectory.size() < 240)
        Require(scenario.windowsDirectory + suffix == programs);
    return 0;
}
