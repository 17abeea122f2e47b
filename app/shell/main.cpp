#include <windows.h>
#include "app/shell/MainDialog.h"
#include "app/shell/MainIds.h"

static C_MainDialog g_app;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return (int)g_app.RunModal(instance, IDD_MAIN, 0, nullptr);
}
