// The shell's link object as the test double offers it: every method records
// its call; results come from the scenario.
#include "double/TestDouble.h"

#include <string>

using namespace Double;

namespace
{

struct FakePersistFile final : IPersistFile {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        Record("IPersistFile::QueryInterface(" + GuidText(iid) + ")");
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        Record("IPersistFile::AddRef()");
        return 1;
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        Record("IPersistFile::Release()");
        return 0;
    }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR fileName, BOOL remember) override
    {
        Record("IPersistFile::Save(" + Quote(fileName) + ", " + std::to_string(remember) + ")");
        return NextResult(Current().saveResults);
    }
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR *) override { return E_NOTIMPL; }
};

struct FakeShellLink final : IShellLinkA {
    FakePersistFile persistFile;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        Record("IShellLinkA::QueryInterface(" + GuidText(iid) + ")");
        HRESULT result = NextResult(Current().queryInterfaceResults);
        *object = SUCCEEDED(result) ? &persistFile : nullptr;
        return result;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        Record("IShellLinkA::AddRef()");
        return 1;
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        Record("IShellLinkA::Release()");
        return 0;
    }
    HRESULT STDMETHODCALLTYPE GetPath(LPSTR, int, WIN32_FIND_DATAA *, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescription(LPSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDescription(LPCSTR name) override
    {
        Record("IShellLinkA::SetDescription(" + Quote(name) + ")");
        return Current().propertyResult;
    }
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCSTR folder) override
    {
        Record("IShellLinkA::SetWorkingDirectory(" + Quote(folder) + ")");
        return Current().propertyResult;
    }
    HRESULT STDMETHODCALLTYPE GetArguments(LPSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetArguments(LPCSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetShowCmd(int *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPSTR, int, int *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPath(LPCSTR file) override
    {
        Record("IShellLinkA::SetPath(" + Quote(file) + ")");
        return Current().propertyResult;
    }
};

FakeShellLink shellLink;

} // namespace

HRESULT WINAPI CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID iid,
                                LPVOID *object)
{
    Record("CoCreateInstance(" + GuidText(classId) + ", " + (outer ? "outer" : "null") + ", " +
           std::to_string(context) + ", " + GuidText(iid) + ")");
    HRESULT result = NextResult(Current().createInstanceResults);
    *object = SUCCEEDED(result) ? static_cast<IShellLinkA *>(&shellLink) : nullptr;
    return result;
}
