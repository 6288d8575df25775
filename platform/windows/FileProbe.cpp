#include "platform/WinApi.h"

FILE *OpenForReading(const char *path)
{
    return fopen(path, "rb");
}

void CloseFile(FILE *file)
{
    fclose(file);
}
