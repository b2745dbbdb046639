#pragma once
// The style sheets and scripts embedded in the pages. They are kept as files in
// vistrel/assets/, shipped without comments and indentation and compiled into the
// converter at build time, so a page never needs anything besides itself.

namespace vistrel::assets {

extern const char* const kPageCss;      // page.css, with the pieces of pieces.svg as images
extern const char* const kGameCss;      // game.css
extern const char* const kOverviewCss;  // overview.css
// A game page's scripts, in this order: core (chess.js, extras.js), the clocks and the
// evaluations when its games have them, the page (build.js, page.js), and the refresh while
// a game is live.
extern const char* const kCoreJs;
extern const char* const kClocksJs;
extern const char* const kEvalsJs;
extern const char* const kPageJs;
extern const char* const kRefreshJs;  // refresh.js, on pages with a game in progress

}  // namespace vistrel::assets
