#pragma once
// Turning the bytes of a PGN file into UTF-8 text.

#include <string>
#include <string_view>

namespace chess {

bool isValidUtf8(std::string_view bytes);

// Bytes in Windows-1252 (a superset of Latin-1 for printable text) as UTF-8.
std::string windows1252ToUtf8(std::string_view bytes);

// The text of a PGN file as UTF-8: a leading byte-order mark is dropped, then the rest is
// taken as UTF-8 when valid, otherwise as Windows-1252. CR LF and lone CR line ends become LF.
std::string decodePgnText(std::string_view bytes);

}  // namespace chess
