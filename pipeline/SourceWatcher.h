#pragma once
// Change notification for the monitored source files. The kernel tells us (through
// QFileSystemWatcher) when a watched file is written, or when its directory gains, loses
// or renames an entry; the watcher waits until each changed file has been quiet for the
// settle time and then reports that sources settled. It needs a running Qt event loop.
//
// Board software that writes a temporary file and renames it over the source drops a
// plain watch (the watch belongs to the old file); the watcher therefore also watches the
// sources' directories and re-arms a file's watch whenever the file changes.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>

#include "pipeline/SourceStamp.h"

namespace korvane {

// How long a changed source must stay quiet before it is taken.
constexpr int kDefaultSettleMs = 100;

class SourceWatcher {
public:
    using Settled = std::function<void()>;
    // Refuses a watch on a path, as a file system without notifications does; tests set it.
    using Refusal = std::function<bool(const std::string& path)>;

    SourceWatcher(Settled onSettled, int settleMs, Refusal refuse = {});
    SourceWatcher(const SourceWatcher&) = delete;
    SourceWatcher& operator=(const SourceWatcher&) = delete;

    // Watches exactly these source files (and their directories); watches that were
    // refused before are tried again.
    void Follow(const std::vector<std::string>& paths);
    // The file's own watch is in place. A file without one (missing when it was listed)
    // still gets one through its directory's watch when it appears.
    bool isWatched(const std::string& path) const;

private:
    struct Source {
        bool fileWatch = false;
        std::optional<SourceStamp> stamp;  // as last seen, to spot a replaced file
        std::optional<std::chrono::steady_clock::time_point> deadline;  // settles then
    };

    bool tryWatch(const QString& path);
    void rearm(const QString& path, Source& source);
    void fileChanged(const QString& path);
    void directoryChanged(const QString& directory);
    void changed(Source& source);
    void settleTimeout();

    Settled m_onSettled;
    std::chrono::milliseconds m_settle;
    Refusal m_refuse;
    QFileSystemWatcher m_watcher;
    QTimer m_settleTimer;
    std::map<QString, Source> m_sources;
    std::map<QString, bool> m_directories;  // directory -> its watch is in place
};

}  // namespace korvane
