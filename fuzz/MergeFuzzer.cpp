// libFuzzer target for the merge of new moves. The input is the edited text, a NUL byte and
// the source text (without a NUL, the input is both). Besides "no crash, no sanitizer
// report, no hang" it checks that the edited text before the paste point reaches the
// merged text unchanged: the operator's comments are never cut or altered.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pgn/MoveMerge.h"
#include "pgn/TagsToChange.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view edited = input.substr(0, nul);
    const std::string_view source = nul == std::string_view::npos ? input : input.substr(nul + 1);

    EditedScan scan;
    if (ParsePgnText(edited, "fuzz.pgn", scan)) {
        return 0;
    }
    TagSpans sourceTags;
    std::string merged;
    // Without tags to change the header stays too, so the whole kept part must match.
    if (!MergeScanned(edited, scan, source, {}, sourceTags, merged)) {
        const auto kept = static_cast<std::size_t>(scan.last.PastePoint - 1);
        if (kept > edited.size() || merged.compare(0, kept, edited.substr(0, kept)) != 0) {
            std::abort();
        }
    }
    MergeNewMoves(edited, source, DefaultTagsToChange(), "fuzz.pgn");
    return 0;
}
