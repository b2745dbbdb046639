#pragma once
// The style sheet and script embedded in every page. They are kept as files in
// vistrel/assets/, shipped without comments and indentation and compiled into the
// converter at build time, so a page never needs anything besides itself.

namespace vistrel::assets {

extern const char* const kPageCss;  // assets/page.css, with the pieces of assets/pieces.svg
extern const char* const kPageJs;   // assets/page.js

}  // namespace vistrel::assets
