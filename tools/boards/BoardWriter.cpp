#include "tools/boards/BoardWriter.h"

#include <chrono>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace boards {

bool writeBoardFile(const fs::path& path, std::string_view bytes, std::string& error) {
    std::error_code ec;
    std::optional<fs::file_time_type> before;
    if (const auto time = fs::last_write_time(path, ec); !ec) {
        before = time;
    }
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    const fs::file_time_type after = fs::last_write_time(path, ec);
    if (!ec && before && after <= *before) {
        fs::last_write_time(path, *before + std::chrono::milliseconds(1), ec);
    }
    return true;
}

}  // namespace boards
