#pragma once
// The style sheets and scripts embedded in the pages. They are kept as files in
// vistrel/assets/, shipped without comments and indentation and compiled into the
// converter at build time, so a page never needs anything besides itself.

namespace vistrel::assets {

extern const char* const kPageCss;      // page.css, with the pieces of pieces.svg as images
extern const char* const kGameCss;      // game.css
extern const char* const kOverviewCss;  // overview.css
extern const char* const kGameJs;       // chess.js, extras.js, page.js and refresh.js
extern const char* const kOverviewJs;   // refresh.js

}  // namespace vistrel::assets
