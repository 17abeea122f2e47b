// Texts that decide how the link and label controls look: face lists and the browser's
// link settings as the registry keeps them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// "Segoe UI; Verdana,Arial" → the faces in order, blanks around them removed, empty ones
// dropped; an empty list means "Segoe UI;Verdana;MS Sans Serif".
std::vector<std::string> SplitFaceList(const std::string& faces);
// "r,g,b" with each part 0..255; false leaves the colour alone.
bool ParseRgbText(const char* text, uint8_t* red, uint8_t* green, uint8_t* blue);

enum UnderlineMode { kUnderlineAlways = 0, kUnderlineNever = 1, kUnderlineHover = 2 };
// "yes" always, "no" never, "hover" only under the mouse; anything else (or no value) always.
UnderlineMode ParseUnderlineMode(const char* text);
// True when the text is "yes" (case ignored).
bool IsYes(const char* text);
