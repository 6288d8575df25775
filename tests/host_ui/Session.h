// The base of the host UI tests: the installer state and the stand-in folders
// back to their start, the front end reading scripted answer lines and
// writing into a buffer, and the trace written to a file of the test's own.
#pragma once

#include "Json.h"

#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string>
#include <vector>

class HostUiSession : public testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // The whole input from now on: answer lines, each ending with a line break.
    void Answer(const std::string &lines);
    // What the front end has shown so far (UTF-8).
    std::string Transcript();
    // The trace so far, one parsed event per line; a line that is not a
    // well-formed JSON object fails the test.
    std::vector<JsonValue> TraceEvents();
    // The events of one kind, in order.
    std::vector<JsonValue> TraceEvents(const std::string &event);
    std::string TracePath() const { return tracePath_; }

  private:
    FILE *input_ = nullptr;
    FILE *output_ = nullptr;
    char *outputBuffer_ = nullptr;
    size_t outputSize_ = 0;
    std::string tracePath_;
};
