#pragma once
// One scan over the monitor list: finds the games whose source changed, takes each in,
// merges new moves into edited games, converts, recovers from rejected edited games,
// rebuilds the overview page and hands the queued pages to the upload.

namespace korvane {

struct Pipeline;

void CheckPgnFiles(Pipeline& pipeline);

}  // namespace korvane
