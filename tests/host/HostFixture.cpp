#include "HostFixture.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <ftw.h>
#include <limits.h>
#include <sstream>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

int RemoveEntry(const char *path, const struct stat *, int, struct FTW *)
{
    return remove(path);
}

} // namespace

void HostTest::SetUp()
{
    char current[PATH_MAX];
    ASSERT_NE(getcwd(current, sizeof current), nullptr);
    SavedFolder = current;

    const char *temporary = getenv("TMPDIR");
    std::string pattern =
        std::string(temporary && *temporary ? temporary : "/tmp") + "/zarquel-host-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    char resolved[PATH_MAX];
    ASSERT_NE(realpath(name.data(), resolved), nullptr);
    Scratch = resolved;
    Prefix = Scratch + "/prefix";
    DriveC = Prefix + "/drive_c";
    UsePrefix(Prefix.c_str());
    RememberProgramPath(nullptr);
    SetLastError(0);
    // The prefix is made on first use; use it now so that tests can add to it.
    ASSERT_STREQ(PrefixFolder(), Prefix.c_str());
}

void HostTest::TearDown()
{
    ASSERT_EQ(chdir(SavedFolder.c_str()), 0);
    UsePrefix(nullptr);
    RememberProgramPath(nullptr);
    nftw(Scratch.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string HostTest::WriteFile(const std::string &hostPath, const std::string &content)
{
    MakeFolder(hostPath.substr(0, hostPath.rfind('/')));
    std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
    file << content;
    file.close();
    EXPECT_TRUE(file.good()) << hostPath;
    return hostPath;
}

void HostTest::MakeFolder(const std::string &hostPath)
{
    for (size_t slash = hostPath.find('/', 1);; slash = hostPath.find('/', slash + 1)) {
        mkdir(hostPath.substr(0, slash).c_str(), 0777);
        if (slash == std::string::npos)
            break;
    }
    struct stat status;
    ASSERT_EQ(stat(hostPath.c_str(), &status), 0) << hostPath;
}

void HostTest::MapDrive(char letter, const std::string &hostFolder)
{
    std::string link = Prefix + "/dosdevices/" + std::string(1, letter) + ":";
    ASSERT_EQ(symlink(hostFolder.c_str(), link.c_str()), 0) << link;
}

std::string ReadFile(const std::string &hostPath)
{
    std::ifstream file(hostPath, std::ios::binary);
    if (!file)
        return "<missing>";
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool Exists(const std::string &hostPath)
{
    struct stat status;
    return lstat(hostPath.c_str(), &status) == 0;
}

std::string ListFolder(const std::string &hostPath)
{
    std::vector<std::string> names;
    if (DIR *folder = opendir(hostPath.c_str())) {
        while (const struct dirent *entry = readdir(folder)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    std::string list;
    for (const std::string &name : names)
        list += (list.empty() ? "" : " | ") + name;
    return list;
}
