#pragma once
// What a source file looked like at one moment: board software rewrites the file, which
// changes its modification time or its size.

#include <cstdint>
#include <optional>
#include <string>

#include "core/Pgn.h"

namespace korvane {

struct SourceStamp {
    FileTime time;
    std::uintmax_t size = 0;
    bool operator==(const SourceStamp&) const = default;
};

// The stamp of the file now; none when it cannot be read (missing, unreachable).
std::optional<SourceStamp> StampOf(const std::string& path);

}  // namespace korvane
