// Font helpers of the link and label controls.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

bool IsFontInstalled(const char* face);
// The first installed face of the list, else the fallback.
std::string FirstInstalledFace(const std::vector<std::string>& faces, const char* fallback);
// The largest height from start down to 3 pixels at which the text, laid out with the
// format, fits inside the width and height; the font's other properties come from base.
int FitFontHeight(HWND window, LOGFONTA base, int startHeight, const std::string& text, UINT format,
                  int width, int height);
