#pragma once
// Small text routines shared by the settings reader, the PGN scanner and the pipeline.
// Texts are bytes; positions are 0-based here and std::string::npos means "not found".

#include <string>
#include <string_view>

namespace korvane {

// True for ASCII letters and digits, Latin-1 letters (0xC0-0xFF except 0xD7 and 0xF7) and
// bytes of a UTF-8 multi-byte sequence, so accented names count as letters in either
// encoding.
bool dhIsCharAlphanumeric(unsigned char c);

// The text without leading and trailing characters that are neither letters or digits nor
// one of the kept characters (compared without regard to letter case).
std::string StripChar(std::string_view text, std::string_view keep);

// Comparison of names, keys and paths without regard to letter case (Unicode-aware for
// UTF-8 text).
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLower(std::string_view text);

// Whether a text box holds a number: blanks around it, an optional sign, digits and at most
// one decimal mark (a point or a comma) between them.
bool IsNumericText(std::string_view text);

// The numeric value of a settings text: its leading number, rounded to a whole number with
// halves to the even neighbour; 0 when the text does not begin with a number.
long LeadingNumber(std::string_view text);

}  // namespace korvane
