#include "ui/MessageReporter.h"

#include "platform/WinApi.h"

#include <stdarg.h>

namespace
{

// Longer formats are shown as they stand, without formatting.
const int LongestFormattedFormat = 512;

struct MessageClassLook {
    const char *caption;
    UINT icon;
};

const MessageClassLook MessageClasses[] = {
    {"INFORMATION", MB_ICONINFORMATION},
    {"NOTICE", MB_ICONINFORMATION},
    {"INVALID INPUT", MB_ICONERROR},
    {"WARNING", MB_ICONWARNING},
    {"ERROR", MB_ICONERROR},
    {"FATAL ERROR", MB_ICONERROR},
    {"PROCEED?", MB_ICONQUESTION},
};

// Indexed by button set; the set number is not the flag value.
const UINT ButtonFlags[] = {MB_OK, MB_OKCANCEL, MB_RETRYCANCEL, MB_ABORTRETRYIGNORE};
const UINT DefaultButtonFlags[] = {MB_DEFBUTTON1, MB_DEFBUTTON1, MB_DEFBUTTON1, MB_DEFBUTTON2};

char MessageBuffer[MessageBufferSize];

} // namespace

const char *LastMessageText = nullptr;

int ReportMessage(MessageCode code, const char *format, ...)
{
    const char *text = format;
    if (lstrlenA(format) <= LongestFormattedFormat) {
        va_list values;
        va_start(values, format);
        // A text longer than the buffer is cut at its end, never written past it.
        vsnprintf(MessageBuffer, sizeof MessageBuffer, format, values);
        va_end(values);
        MessageBuffer[sizeof MessageBuffer - 1] = '\0';
        text = MessageBuffer;
    }
    LastMessageText = text;

    int buttonSet = code & 3;
    int messageClass = code >> 2;
    UINT style = ButtonFlags[buttonSet] | MB_SYSTEMMODAL | DefaultButtonFlags[buttonSet] |
                 MessageClasses[messageClass].icon;
    return MessageBoxA(nullptr, text, MessageClasses[messageClass].caption, style);
}
