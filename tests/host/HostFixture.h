// Each test runs in a prefix of its own, in a fresh temporary folder that is
// removed afterwards; the current folder is restored.
#pragma once

#include "platform/WinApi.h"
#include "platform/host/HostModule.h"
#include "platform/host/HostPrefix.h"

#include <gtest/gtest.h>

#include <string>

class HostTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary folder and the prefix in it.
    std::string Scratch;
    std::string Prefix;
    // The host folder of drive C: (the prefix's drive_c).
    std::string DriveC;

    // Writes a file (creating its folders) and returns its host path.
    std::string WriteFile(const std::string &hostPath, const std::string &content);
    void MakeFolder(const std::string &hostPath);
    // Maps a drive letter to a host folder by a link in dosdevices/.
    void MapDrive(char letter, const std::string &hostFolder);

  private:
    std::string SavedFolder;
};

// The content of a host file, or "<missing>".
std::string ReadFile(const std::string &hostPath);
bool Exists(const std::string &hostPath);
// The names in a host folder, sorted, without "." and "..".
std::string ListFolder(const std::string &hostPath);
