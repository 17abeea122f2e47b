#include "app/framework/FileDialog.h"
#include <commdlg.h>
#include <shlobj.h>
#include <string>

namespace {
// The pairs with their separator turned into the terminators the dialog expects.
std::string FilterPairs(const char* filter)
{
    std::string pairs = filter ? filter : "";
    if (pairs.empty())
        return std::string(2, '\0');
    const char separator = pairs.back();
    for (char& c : pairs)
        if (c == separator)
            c = '\0';
    return pairs + '\0';
}

std::string DesktopFolder()
{
    char path[MAX_PATH] = "";
    LPITEMIDLIST pidl = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &pidl)) && pidl) {
        const BOOL ok = SHGetPathFromIDListA(pidl, path);
        CoTaskMemFree(pidl);
        if (ok)
            return path;
    }
    typedef HRESULT(WINAPI * FolderPath)(HWND, int, HANDLE, DWORD, LPSTR);
    HMODULE shfolder = LoadLibraryA("shfolder.dll");
    if (shfolder) {
        FolderPath get = (FolderPath)(void*)GetProcAddress(shfolder, "SHGetFolderPathA");
        if (get && SUCCEEDED(get(nullptr, CSIDL_DESKTOP, nullptr, 0, path))) {
            FreeLibrary(shfolder);
            return path;
        }
        FreeLibrary(shfolder);
    }
    return std::string();
}
} // namespace

int ShowFileDialog(HWND owner, const char* filter, const char* folder, const char* title, int save,
                   char* file)
{
    const std::string pairs = FilterPairs(filter);
    const std::string initial = folder && *folder ? std::string(folder) : DesktopFolder();
    OPENFILENAMEA ofn = {};
    // Systems before Windows 2000 know only the shorter structure.
    ofn.lStructSize = LOBYTE(LOWORD(GetVersion())) < 5 ? 76 : sizeof(OPENFILENAMEA);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = pairs.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
    ofn.lpstrTitle = title;
    ofn.Flags = (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST) | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_FORCESHOWHIDDEN;
    for (;;) {
        const BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
        if (chosen)
            return 1;
        if (CommDlgExtendedError() != FNERR_INVALIDFILENAME)
            return 0;
        file[0] = 0;
    }
}
