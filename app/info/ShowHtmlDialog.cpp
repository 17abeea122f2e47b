#include "app/info/ShowHtmlDialog.h"

#include <objbase.h>
#include <oleauto.h>

#include <cstring>
#include <vector>

#include "app/info/HtmlDialogText.h"
#include "app/info/TextPageDialog.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* ShowHtmlDialogFn)(HWND, IMoniker*, VARIANT*, WCHAR*, VARIANT*);
typedef HRESULT(STDAPICALLTYPE* CreateUrlMonikerFn)(IMoniker*, const WCHAR*, IMoniker**);

std::wstring Widen(const char* text)
{
    if (!text || !*text)
        return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    return std::wstring(wide.data());
}

std::string Narrow(const wchar_t* text)
{
    if (!text || !*text)
        return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::vector<char> narrow(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), n, nullptr, nullptr);
    return std::string(narrow.data());
}

// The full path of module; grows the buffer for long paths.
std::string ModulePath(HMODULE module)
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(module, path.data(), DWORD(path.size()));
        if (n == 0)
            return std::string();
        if (n < path.size())
            return std::string(path.data(), n);
        if (path.size() >= 32768)
            return std::string();
        path.resize(path.size() * 2);
    }
}

// Everything that must be given back, released in reverse order on every path.
class Session {
public:
    ~Session()
    {
        if (moniker)
            moniker->Release();
        VariantClear(&argument);
        VariantClear(&result);
        if (monikerLibrary)
            FreeLibrary(monikerLibrary);
        if (htmlLibrary)
            FreeLibrary(htmlLibrary);
        if (comStarted)
            CoUninitialize();
    }
    bool comStarted = false;
    HMODULE htmlLibrary = nullptr;
    HMODULE monikerLibrary = nullptr;
    IMoniker* moniker = nullptr;
    VARIANT argument;
    VARIANT result;
    Session()
    {
        VariantInit(&argument);
        VariantInit(&result);
    }
};

// 1: the HTML dialog ran and handed back a text; 0: it ran without one; -1: no engine.
int RunHtmlDialog(const char* htmlName, const char* monikerName, HWND owner, HMODULE module, const char* page,
                  const char* argumentText, const char* options, std::string* resultText)
{
    Session s;
    // S_FALSE (already started on this thread) also needs its CoUninitialize.
    s.comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    s.htmlLibrary = LoadLibraryA(htmlName);
    s.monikerLibrary = LoadLibraryA(monikerName);
    if (!s.htmlLibrary || !s.monikerLibrary)
        return -1;
    const ShowHtmlDialogFn show = reinterpret_cast<ShowHtmlDialogFn>(
        reinterpret_cast<void*>(GetProcAddress(s.htmlLibrary, "ShowHTMLDialog")));
    const CreateUrlMonikerFn createMoniker = reinterpret_cast<CreateUrlMonikerFn>(
        reinterpret_cast<void*>(GetProcAddress(s.monikerLibrary, "CreateURLMoniker")));
    if (!show || !createMoniker)
        return -1;

    std::string address;
    if (IS_INTRESOURCE(page)) {
        address = HtmlAddressForNumber(ModulePath(module), uint32_t(reinterpret_cast<uintptr_t>(page)));
    } else {
        address = HtmlAddressForName(ModulePath(module), page);
    }
    const std::wstring wideAddress = Widen(address.c_str());
    if (FAILED(createMoniker(nullptr, wideAddress.c_str(), &s.moniker)) || !s.moniker)
        return -1;

    if (argumentText) {
        const std::wstring wide = Widen(argumentText);
        s.argument.vt = VT_BSTR;
        s.argument.bstrVal = SysAllocString(wide.c_str());
    }
    std::wstring wideOptions = Widen(options);
    const HRESULT shown = show(owner, s.moniker, argumentText ? &s.argument : nullptr,
                               wideOptions.empty() ? nullptr : &wideOptions[0], &s.result);
    if (FAILED(shown))
        return -1;
    if (s.result.vt == VT_BSTR && resultText) {
        *resultText = Narrow(s.result.bstrVal);
        return 1;
    }
    return 0;
}

} // namespace

int ShowHtmlDialogUsing(const char* htmlLibrary, const char* monikerLibrary, HWND owner, HMODULE module,
                        const char* page, const char* argument, const char* options, std::string* result)
{
    if (!page)
        return 0;
    if (!module)
        module = GetModuleHandleA(nullptr);
    const int shown =
        RunHtmlDialog(htmlLibrary, monikerLibrary, owner, module, page, argument, options, result);
    if (shown >= 0)
        return shown;
    // No engine: the page's own text, so the user still learns what the page says. A full
    // address names no resource of ours, so there is nothing to show.
    if (IS_INTRESOURCE(page) || !std::strstr(page, "://"))
        ShowTextPage(owner, module, page, argument, options);
    return 0;
}

int ShowHtmlDialog(HWND owner, HMODULE module, const char* page, const char* argument, const char* options,
                   std::string* result)
{
    return ShowHtmlDialogUsing("mshtml.dll", "urlmon.dll", owner, module, page, argument, options, result);
}
