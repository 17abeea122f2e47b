// Any text: the converter ends, stays in bounds and keeps its promises about blank lines.
#include <cstdlib>
#include <string>

#include "app/info/HtmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string html(reinterpret_cast<const char*>(data), size);
    HtmlTextOptions options;
    options.replaceId = "title";
    options.replacement = "T";
    const std::string text = HtmlToText(html, options);
    if (text.find("\n\n\n") != std::string::npos)
        std::abort();
    if (!text.empty() && (text[0] == '\n' || text.back() != '\n'))
        std::abort();
    const std::string windows = ToWindowsLineEnds(text);
    if (windows.find("\r\r") != std::string::npos)
        std::abort();
    return 0;
}
