#include "shell/Shortcut.h"

namespace
{

// IPersistFile::Save takes the link path in UTF-16.
const int LinkPathUnits = 260;

} // namespace

HRESULT CreateShortcut(const char *targetPath, const char *workingFolder, const char *linkPath,
                       const char *description)
{
    IShellLinkA *link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void **>(&link));
    if (FAILED(result))
        return result;

    // The properties' own statuses are not looked at: Save decides.
    link->SetPath(targetPath);
    link->SetWorkingDirectory(workingFolder);
    link->SetDescription(description);

    IPersistFile *file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
    if (SUCCEEDED(result)) {
        WCHAR widePath[LinkPathUnits];
        // A link path that does not fit is refused: saving under a cut or
        // unterminated name would write the link somewhere else.
        if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, LinkPathUnits) == 0)
            result = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        else
            result = file->Save(widePath, TRUE);
        file->Release();
    }
    link->Release();
    return result;
}
