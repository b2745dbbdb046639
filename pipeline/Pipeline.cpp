#include "pipeline/Pipeline.h"

#include <filesystem>

#include "core/FileUtils.h"
#include "pipeline/ConverterBatch.h"

namespace fs = std::filesystem;

namespace korvane {

std::optional<SourceStamp> StampOf(const std::string& path) {
    std::error_code ec;
    SourceStamp stamp;
    stamp.time = fs::last_write_time(path, ec);
    if (ec) {
        return std::nullopt;
    }
    stamp.size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return stamp;
}

Pipeline::Pipeline(ProgramState& programState)
    : state(programState),
      converterParallel(DefaultConverterParallel()),
      readSource(ReadWholeFile) {}

}  // namespace korvane
