#pragma once
// Writing a board file the way board software does: in place, the whole file each time.

#include <filesystem>
#include <string>
#include <string_view>

namespace boards {

// Truncates the file and writes bytes into it (no temporary file and rename: a reader can
// catch the file half-written, as with real boards). The modification time is moved past
// the one the file had before, because a coarse file-system clock can give two quick
// rewrites the same time and a watcher would miss the second. Returns false and sets
// error when the file cannot be written.
bool writeBoardFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

}  // namespace boards
