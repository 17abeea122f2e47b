// Texts around the HTML dialogs that need no Windows: the page address, the title the
// information page derives from its argument, and sizes from the dialog's option string.
#pragma once
#include <cstdint>
#include <string>

// "res://<program path>/#<number>" for a resource number.
std::string HtmlAddressForNumber(const std::string& programPath, uint32_t number);
// A text with "://" is already an address; any other text names a resource of the program.
std::string HtmlAddressForName(const std::string& programPath, const std::string& page);

// The dialog argument split at ";": exactly one element is the title, otherwise (also
// without an argument) the product name.
std::string TitleFromArgument(const char* argument);

// The pixel value of a feature such as "dialogWidth" in "help:no;dialogWidth:740px";
// 0 when absent or not in pixels.
int HtmlDialogFeaturePixels(const std::string& options, const std::string& feature);
