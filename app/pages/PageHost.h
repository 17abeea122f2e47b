// What every page needs from the window that hosts it: the window itself (parent and
// placement) and the program title (message boxes). The rest a page uses comes as services
// to its constructor (PageServices.h).
#pragma once
#include <windows.h>

class I_PageHost {
public:
    virtual ~I_PageHost() = default;
    virtual const char* GetTitle() const = 0;
    virtual HWND GetHostWindow() const = 0;
};
