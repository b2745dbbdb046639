#include "chess/PgnGame.h"

namespace chess {

std::string PgnGame::tag(const std::string& name) const {
    for (const auto& [key, value] : tags) {
        if (key == name) {
            return value;
        }
    }
    return {};
}

}  // namespace chess
