// The fixed, ordered list of the product's files and the rule applied to each.
#pragma once

#include <stdint.h>

enum { ManifestRowCount = 35 };

extern const char *const FileManifest[ManifestRowCount];

// The presence probe: composes WorkPath as SetupFolder followed by `name` and
// tells whether that file opens for reading; it is closed again at once.
bool PresentInSetupFolder(const char *name);

// Shows, probes, copies and, when needed, reports manifest row `row`; sets
// FilesIncomplete in `problemFlags` when it reports a problem.
void InstallManifestRow(int row, uint32_t &problemFlags);
