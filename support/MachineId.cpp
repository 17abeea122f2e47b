#include "support/MachineId.h"
#include <windows.h>
#include "core/Text.h"
#include "support/ReportForm.h"

static std::string ProcessorText(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return std::string();
    char text[256] = "";
    DWORD size = sizeof(text) - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)text, &size) != ERROR_SUCCESS || type != REG_SZ)
        text[0] = 0;
    text[sizeof(text) - 1] = 0;
    RegCloseKey(key);
    return TrimWhite(text);
}

std::string GetMachineIdentifier()
{
    // The serial number of the system volume and the processor's identity stay the same
    // from start to start; only their digest is ever shown or sent.
    DWORD serial = 0;
    char root[MAX_PATH] = "C:\\";
    if (GetWindowsDirectoryA(root, sizeof(root)) >= 3)
        root[3] = 0;
    GetVolumeInformationA(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    std::string facts = StringPrintf("%08lX|", (unsigned long)serial) + ProcessorText("VendorIdentifier") +
                        "|" + ProcessorText("Identifier") + "|" + ProcessorText("ProcessorNameString");
    return HashMachineFacts(facts);
}
