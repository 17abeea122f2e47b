#include "app/pages/block/model/WriteTarget.h"
#include "app/pages/block/model/DeviceRow.h"

C_ChosenDevice ChosenDeviceOf(const C_Device& d)
{
    C_ChosenDevice chosen;
    chosen.path = d.strPath;
    chosen.kind = d.dwKind;
    chosen.identity = DeviceIdentityText(d);
    chosen.blockSize = d.dwBlockSize;
    return chosen;
}

bool IsChosenDevice(const C_ChosenDevice& chosen, const C_Device& d)
{
    return d.strPath == chosen.path && d.dwKind == chosen.kind && DeviceIdentityText(d) == chosen.identity &&
           d.dwBlockSize == chosen.blockSize;
}

int RowAfterRefresh(const std::vector<const C_Device*>& rows, const C_Device* stayed,
                    const C_ChosenDevice* chosen, bool* keepFields)
{
    *keepFields = false;
    if (rows.empty())
        return -1;
    for (size_t i = 0; stayed && i < rows.size(); ++i) {
        if (rows[i] == stayed) {
            *keepFields = true;
            return int(i);
        }
    }
    for (size_t i = 0; chosen && i < rows.size(); ++i) {
        if (rows[i] && IsChosenDevice(*chosen, *rows[i])) {
            *keepFields = true;
            return int(i);
        }
    }
    return 0;
}

char WindowsLetterOn(const C_Device& d, char windowsLetter, const std::string& systemIdentity)
{
    if (windowsLetter == 0)
        return 0;
    if (d.HasLetter(windowsLetter))
        return windowsLetter;
    // Without a serial, the identity names a model, not a device: a second disk of the same
    // model must stay writable.
    if (!d.strSerial.empty() && DeviceIdentityText(d) == systemIdentity)
        return windowsLetter;
    return 0;
}

std::string DeviceDescription(const C_Device& d)
{
    std::string text = DeviceRowName(d);
    const size_t first = text.find_first_not_of(' ');
    text = first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (!text.empty())
        text += ", ";
    text += DeviceRowSize(d);
    if (!d.strLetters.empty())
        text += (d.strLetters.size() == 1 ? ", drive letter " : ", drive letters ") + d.strLetters;
    return text;
}
