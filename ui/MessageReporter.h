// The one routine that shows a message to the user.
#pragma once

#include <stdint.h>

// A message code is message class * 4 + button set.
enum MessageClass {
    MsgInformation = 0,
    MsgNotice = 1,
    MsgInvalidInput = 2,
    MsgWarning = 3,
    MsgError = 4,
    MsgFatalError = 5,
    MsgProceed = 6,
};

enum ButtonSet {
    BtnOk = 0,
    BtnOkCancel = 1,
    BtnRetryCancel = 2,
    BtnAbortRetryIgnore = 3,
};

// Selects a box's caption, icon, buttons and default button.
typedef int32_t MessageCode;

constexpr MessageCode MakeMessageCode(MessageClass messageClass, ButtonSet buttons)
{
    return messageClass * 4 + buttons;
}

// The reporter's text buffer, the terminating zero included.
enum { MessageBufferSize = 1024 };

// Formats `format` with the values that follow (vsprintf rules) and shows it in a
// system-modal box without owner; returns the button that closed it, 0 on failure.
int ReportMessage(MessageCode code, const char *format, ...);

// The text shown by the last call: the reporter's buffer, or a long format itself.
extern const char *LastMessageText;
