#pragma once
// The style sheet, script and piece shapes embedded in every page. They are kept as
// files in vistrel/assets/ and compiled into the converter by CMake, so a page never
// needs anything besides itself.

namespace vistrel::assets {

extern const char* const kPageCss;    // assets/page.css
extern const char* const kPageJs;     // assets/page.js
extern const char* const kPiecesSvg;  // assets/pieces.svg: <symbol id="kv-K"> ... "kv-P"

}  // namespace vistrel::assets
