// libFuzzer target for the two page writers, on every file the PGN reader accepts. Besides
// "no crash, no sanitizer report, no hang" it checks that no text of the file becomes
// markup (the pages hold exactly the scripts of an ordinary page), that the pages are valid
// UTF-8, and that the overview links only to pages on the same site.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chess/PgnReader.h"
#include "chess/TextEncoding.h"
#include "vistrel/OverviewPage.h"
#include "vistrel/Page.h"

namespace {

std::size_t count(const std::string& text, std::string_view needle) {
    std::size_t n = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

// Scripts and links in the page of a plain game: the writers' own.
std::size_t ownScripts() {
    static const std::size_t n = [] {
        chess::PgnFile file;
        chess::PgnError error;
        chess::readPgn("[White \"a\"]\n1. e4 *", "plain.pgn", file, error);
        return count(vistrel::renderGamePage(file, {}), "<script");
    }();
    return n;
}

// Every link of the markup (the script, which ends the page, left out) stays on the page
// or on this site.
bool linksStayHere(const std::string& page) {
    const std::string markup = page.substr(0, page.rfind("<script>"));
    static const std::string_view open = "href=\"";
    for (auto at = markup.find(open); at != std::string::npos; at = markup.find(open, at + 1)) {
        const auto from = at + open.size();
        const std::string target = markup.substr(from, markup.find('"', from) - from);
        if (target[0] != '#' && target.compare(0, 5, "data:") != 0 &&
            !vistrel::isLocalPageName(target)) {
            return false;
        }
    }
    return true;
}

void check(const std::string& page) {
    if (count(page, "<script") != ownScripts() || !chess::isValidUtf8(page) ||
        !linksStayHere(page)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    chess::PgnFile file;
    chess::PgnError error;
    if (!chess::readPgn(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.pgn",
                        file, error)) {
        return 0;
    }
    vistrel::PageIni ini;
    check(vistrel::renderGamePage(file, ini));
    ini.overview = true;
    check(vistrel::renderOverviewPage(file, ini));
    return 0;
}
