// Reading and replacing the font of an in-memory dialog template (DIALOG and DIALOGEX).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TemplateFont {
    bool extended = false;
    uint16_t pointSize = 0;
    std::u16string face;
    size_t pointOffset = 0; // where the point size starts
    size_t faceOffset = 0;  // where the face name starts
    size_t faceEnd = 0;     // just after the face's terminating zero
};

// False when the template is malformed or has no DS_SETFONT font.
bool ReadTemplateFont(const uint8_t* data, size_t size, TemplateFont* font);
// A copy with the new point size and face; what follows the face is moved to the next
// 4-byte boundary of the copy. False when the template has no font to replace.
bool RewriteTemplateFont(const uint8_t* data, size_t size, uint16_t pointSize, const std::u16string& face,
                         std::vector<uint8_t>& out);

// The faces a template may carry to be given the system's message font.
bool IsReplaceableTemplateFace(const std::u16string& face);

// What the system offers for the choice of the substitute font.
struct SystemFontFacts {
    std::u16string messageFace;
    int messageHeight = 0; // LOGFONT height of the message font
    int logPixelsY = 96;
    bool (*faceExists)(const std::u16string& face, void* context) = nullptr;
    void* context = nullptr;
};
// Chooses face and point size for a template with the given face; false leaves it alone.
// preferShellDlg2 is the dialog's option to use "MS Shell Dlg 2" on a Segoe UI system.
bool ChooseTemplateFont(const std::u16string& templateFace, const SystemFontFacts& facts,
                        bool preferShellDlg2, std::u16string* face, uint16_t* pointSize);
