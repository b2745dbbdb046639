// libFuzzer target for the converter's ini reader. Besides "no crash, no sanitizer report,
// no hang" it checks what reaches the page: colours of a plain form only (they are written
// into the style sheet), a title of valid UTF-8, and a message exactly when reading failed.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "chess/TextEncoding.h"
#include "vistrel/Ini.h"

namespace {

bool plainColour(const std::string& colour) {
    for (const char c : colour) {
        const bool letterOrDigit =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letterOrDigit && c != '#') {
            return false;
        }
    }
    return !colour.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vistrel::PageIni ini;
    std::string error;
    const bool ok = vistrel::parseIni(bytes, ini, error);
    if (ok != error.empty() || (!ok && error.compare(0, 5, "line ") != 0)) {
        std::abort();
    }
    if (ok && (!plainColour(ini.lightColour) || !plainColour(ini.darkColour) ||
               !plainColour(ini.lastMoveColour) || !chess::isValidUtf8(ini.title))) {
        std::abort();
    }
    return 0;
}
