// How the list view orders two cells of its sort column.
#pragma once
#include <string>

// Bytes of a text such as "1.5 GByte": the leading number times the first unit found
// (" PByte", " TByte", " GByte", " MByte", " kByte", " Byte", in that order of search).
// False when the text holds no unit.
bool ParseSizeText(const std::string& text, double* bytes);
// The text with every occurrence of the separator removed (nothing when it is empty).
std::string RemoveSeparators(const std::string& text, const std::string& separator);

// Text order used when the cells are not sizes: negative, zero or positive.
typedef int (*TextOrder)(const std::string& a, const std::string& b);
// Sizes compare as numbers when both cells carry a unit; otherwise the texts without
// thousands separators go to the given order. Descending reverses the result.
int CompareCells(const std::string& a, const std::string& b, const std::string& thousands, bool descending,
                 TextOrder order);
