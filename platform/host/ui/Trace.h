// ZARQUEL_TRACE=FILE: one JSON object per line for every event that the user
// sees or causes (docs/trace.md). Texts are written in UTF-8.
#pragma once

#include "platform/WinApi.h"

// Writes the trace to `path` from now on (truncating it); null ends tracing.
// Without a call the trace follows ZARQUEL_TRACE, read at the first event.
void TraceUseFile(const char *path);

namespace HostUi
{

void TraceWindowShown(int dialog);
void TraceWindowMoved(int dialog);
void TraceText(int window);
void TraceInput(int control);
void TraceCommand(int dialog, int id);
void TraceCloseBox(int dialog);
void TraceMessageBox(const char *caption, const char *text, UINT style, int answer);
void TraceDialogEnded(int dialog, INT_PTR value);
void TraceDestroyed(int dialog);

} // namespace HostUi
