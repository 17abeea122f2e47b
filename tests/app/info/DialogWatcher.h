// Finds, reads, pictures and closes the text view from a second thread while the test's
// thread sits in the modal dialog.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/info/InfoIds.h"
#include "tests/app/e2e_common/BitmapPicture.h"

namespace info_test {

inline std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(control);
    std::vector<char> text(size_t(length) + 1);
    GetWindowTextA(control, text.data(), length + 1);
    return std::string(text.data());
}

// Writes the window as it is on screen to a 24-bit bitmap file.
inline bool SaveWindowPicture(HWND window, const std::string& path)
{
    RECT r;
    GetWindowRect(window, &r);
    HDC source = GetWindowDC(window);
    CreateDirectoryA(QM_SCREENSHOT_DIR, nullptr);
    const bool written = SaveBitmapPicture(source, 0, 0, r.right - r.left, r.bottom - r.top, path);
    ReleaseDC(window, source);
    return written;
}

inline HWND FindOwnDialog(const char* caption);

// Waits on its own thread for the text view with the given caption, notes what it shows,
// optionally saves its picture, and closes it.
class DialogWatcher {
public:
    DialogWatcher(const char* caption, const char* picture, DWORD waitMs = 10000)
        : caption_(caption), picture_(picture ? picture : ""), waitMs_(waitMs)
    {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~DialogWatcher() { Join(); }
    void Join()
    {
        if (!thread_)
            return;
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }

    bool found = false;
    std::string heading, body;
    int left = 0, top = 0, width = 0, height = 0;
    bool pictureSaved = false;

private:
    static DWORD WINAPI Run(void* self)
    {
        static_cast<DialogWatcher*>(self)->Watch();
        return 0;
    }
    void Watch()
    {
        HWND dialog = nullptr;
        for (DWORD waited = 0; waited < waitMs_ && !dialog; waited += 50) {
            dialog = FindOwnDialog(caption_.c_str());
            if (!dialog)
                Sleep(50);
        }
        if (!dialog)
            return;
        found = true;
        Sleep(600); // let it paint before reading and picturing it
        heading = ControlText(dialog, IDC_TEXT_PAGE_HEADING);
        body = ControlText(dialog, IDC_TEXT_PAGE_BODY);
        RECT r;
        GetWindowRect(dialog, &r);
        left = r.left;
        top = r.top;
        width = r.right - r.left;
        height = r.bottom - r.top;
        if (!picture_.empty())
            pictureSaved = SaveWindowPicture(dialog, std::string(QM_SCREENSHOT_DIR) + "/" + picture_);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }

    std::string caption_, picture_;
    DWORD waitMs_;
    HANDLE thread_ = nullptr;
};

struct DialogSearch {
    const char* caption;
    HWND found;
};

// A dialog of this process only: other programs under the same Wine server (the GUI
// program's own tests) may show windows with the same caption.
inline BOOL CALLBACK MatchOwnDialog(HWND window, LPARAM context)
{
    DialogSearch* search = reinterpret_cast<DialogSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = "", caption[256] = "";
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, caption, sizeof caption);
    if (process == GetCurrentProcessId() && std::string(name) == "#32770" &&
        std::string(caption) == search->caption && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

inline HWND FindOwnDialog(const char* caption)
{
    DialogSearch search = {caption, nullptr};
    EnumWindows(MatchOwnDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace info_test
