// Plain text of a simple HTML page, for showing a page where no HTML engine exists.
// Keeps what a reader needs: headings and paragraphs on their own lines, one line per
// table row with the cells separated by tabs, preformatted blocks as they stand. Drops the
// head, scripts, styles and pictures. Pure code: no Windows headers.
#pragma once
#include <string>

struct HtmlTextOptions {
    // The content of the element with this id is replaced by replacement (the pages fill
    // such elements from script, which the text view cannot run).
    std::string replaceId;
    std::string replacement;
};

// Lines end with "\n"; no leading, trailing or doubled blank lines.
std::string HtmlToText(const std::string& html, const HtmlTextOptions& options = HtmlTextOptions());

// "\n" line ends as "\r\n", for multi-line edit controls.
std::string ToWindowsLineEnds(const std::string& text);
