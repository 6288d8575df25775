// ReportMessage with the system's formats, any valid code and arbitrary values:
// the text shown always ends within the reporter's buffer.
#include "double/TestDouble.h"
#include "fuzz/FuzzCheck.h"
#include "ui/MessageReporter.h"

#include <string.h>

#include <string>

namespace
{

const char *const Formats[] = {
    "Zarquel software is not in Setup's folder:\n%s",
    "File %s is missing!",
    "Failed to copy file %s!",
    "Invalid specification for destination folder.",
    "Invalid path to specified destination folder.",
    "A folder with that name already exists.\nUse that folder?",
    "Installation of the Zarquel software has finished.\n",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const char *format = Formats[data[0] % (sizeof Formats / sizeof Formats[0])];
    MessageCode code = data[1] % 28;
    std::string value(reinterpret_cast<const char *>(data + 2), size - 2);
    value = value.substr(0, value.find('\0'));

    Double::Scenario scenario;
    Double::Start(scenario);
    ReportMessage(code, format, value.c_str());

    Require(strnlen(LastMessageText, MessageBufferSize) < MessageBufferSize);
    std::string expected = std::string(format);
    size_t conversion = expected.find("%s");
    if (conversion != std::string::npos)
        expected.replace(conversion, 2, value);
    Require(expected.compare(0, MessageBufferSize - 1, LastMessageText) == 0);
    Require(Double::CallsTo("MessageBoxA").size() == 1);
    return 0;
}
