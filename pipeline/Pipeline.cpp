#include "pipeline/Pipeline.h"

#include "core/FileUtils.h"

namespace korvane {

Pipeline::Pipeline(ProgramState& programState)
    : state(programState),
      copySource([](ProgramState& s, const std::string& source, const std::string& target) {
          return CopyOneFile(s, source, target);
      }) {}

}  // namespace korvane
