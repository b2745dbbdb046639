#include "chess/PgnReader.h"

#include "chess/PgnParser.h"
#include "chess/TextEncoding.h"

namespace chess {

using pgn::PgnParser;

bool readPgn(std::string_view bytes, std::string_view fileName, PgnFile& out, PgnError& error,
             bool fenPerMove) {
    out = PgnFile{};
    PgnParser parser(decodePgnText(bytes), fileName, out, error, fenPerMove);
    return parser.run();
}

void readPgnSkippingFaults(std::string_view bytes, std::string_view fileName, PgnFile& out,
                           std::vector<PgnError>& faults) {
    out = PgnFile{};
    PgnError last;
    PgnParser parser(decodePgnText(bytes), fileName, out, last);
    parser.run(&faults);
}

}  // namespace chess
