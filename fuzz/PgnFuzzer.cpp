// libFuzzer target for the PGN reader, the SAN reader and the FEN reader. Besides "no crash,
// no sanitizer report" it checks that what we write reads back to the same thing.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chess/PgnReader.h"
#include "chess/Position.h"
#include "chess/San.h"

namespace {

void checkSan(std::string_view text) {
    static const char* const kFens[] = {
        chess::kStartFen,
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2"};
    for (const char* fen : kFens) {
        chess::Position pos;
        std::string why;
        pos.setFen(fen, why);
        chess::Move move{};
        if (!chess::parseSan(pos, text, move, why)) {
            continue;
        }
        // Our own SAN of the move must read back as the same move.
        chess::Move again{};
        if (!chess::parseSan(pos, chess::sanText(pos, move), again, why) || !(again == move)) {
            std::abort();
        }
    }
}

void checkFen(std::string_view text) {
    chess::Position pos;
    std::string why;
    if (!pos.setFen(text, why)) {
        return;
    }
    const std::string written = pos.fen();
    chess::Position again;
    if (!again.setFen(written, why) || again.fen() != written) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    chess::PgnFile file;
    chess::PgnError error;
    if (chess::readPgn(bytes, "fuzz.pgn", file, error) == error.message.empty()) {
        // Success and an empty message go together, as do failure and a message.
    } else {
        std::abort();
    }
    if (size <= 100) {
        checkSan(bytes);
        checkFen(bytes);
    }
    return 0;
}
