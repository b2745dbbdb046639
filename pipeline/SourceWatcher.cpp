#include "pipeline/SourceWatcher.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace korvane {

namespace {

QString directoryOfSource(const QString& path) {
    return QString::fromStdString(std::filesystem::path(path.toStdString()).parent_path().string());
}

}  // namespace

SourceWatcher::SourceWatcher(Settled onSettled, int settleMs, Refusal refuse)
    : m_onSettled(std::move(onSettled)),
      m_settle(std::max(settleMs, 1)),
      m_refuse(std::move(refuse)) {
    m_settleTimer.setSingleShot(true);
    QObject::connect(&m_settleTimer, &QTimer::timeout, [this] { settleTimeout(); });
    QObject::connect(&m_watcher, &QFileSystemWatcher::fileChanged,
                     [this](const QString& path) { fileChanged(path); });
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged,
                     [this](const QString& directory) { directoryChanged(directory); });
}

bool SourceWatcher::tryWatch(const QString& path) {
    if (m_refuse && m_refuse(path.toStdString())) {
        return false;
    }
    return m_watcher.addPath(path);
}

void SourceWatcher::Follow(const std::vector<std::string>& paths) {
    std::set<QString> wanted;
    std::set<QString> wantedDirectories;
    for (const std::string& path : paths) {
        wanted.insert(QString::fromStdString(path));
        wantedDirectories.insert(directoryOfSource(QString::fromStdString(path)));
    }
    for (auto it = m_sources.begin(); it != m_sources.end();) {
        if (wanted.contains(it->first)) {
            ++it;
            continue;
        }
        if (it->second.fileWatch) {
            m_watcher.removePath(it->first);
        }
        it = m_sources.erase(it);
    }
    for (auto it = m_directories.begin(); it != m_directories.end();) {
        if (wantedDirectories.contains(it->first)) {
            ++it;
            continue;
        }
        if (it->second) {
            m_watcher.removePath(it->first);
        }
        it = m_directories.erase(it);
    }
    for (const QString& directory : wantedDirectories) {
        bool& watched = m_directories[directory];
        if (!watched) {
            watched = tryWatch(directory);
        }
    }
    for (const QString& path : wanted) {
        Source& source = m_sources[path];
        if (!source.fileWatch) {
            source.fileWatch = tryWatch(path);
            source.stamp = StampOf(path.toStdString());
        }
    }
}

bool SourceWatcher::isWatched(const std::string& path) const {
    const auto it = m_sources.find(QString::fromStdString(path));
    return it != m_sources.end() && it->second.fileWatch;
}

// The watch may belong to a file that was replaced: it is put on the file now there.
void SourceWatcher::rearm(const QString& path, Source& source) {
    if (source.fileWatch) {
        m_watcher.removePath(path);
    }
    source.fileWatch = tryWatch(path);
    source.stamp = StampOf(path.toStdString());
}

void SourceWatcher::fileChanged(const QString& path) {
    const auto it = m_sources.find(path);
    if (it == m_sources.end()) {
        return;
    }
    rearm(path, it->second);
    changed(it->second);
}

// An entry of the directory came, went or was renamed: a source replaced by rename (or
// deleted and written anew) shows here, since its own watch went with the old file.
void SourceWatcher::directoryChanged(const QString& directory) {
    for (auto& [path, source] : m_sources) {
        if (directoryOfSource(path) != directory) {
            continue;
        }
        if (StampOf(path.toStdString()) != source.stamp || !source.fileWatch) {
            rearm(path, source);
            changed(source);
        }
    }
}

void SourceWatcher::changed(Source& source) {
    source.deadline = std::chrono::steady_clock::now() + m_settle;
    if (!m_settleTimer.isActive()) {
        m_settleTimer.start(m_settle);
    }
}

// Sources that have been quiet for the settle time are reported; the timer waits on for
// those still changing.
void SourceWatcher::settleTimeout() {
    const auto now = std::chrono::steady_clock::now();
    bool settled = false;
    std::optional<std::chrono::steady_clock::time_point> next;
    for (auto& [path, source] : m_sources) {
        if (!source.deadline) {
            continue;
        }
        if (*source.deadline <= now) {
            source.deadline.reset();
            settled = true;
        } else if (!next || *source.deadline < *next) {
            next = source.deadline;
        }
    }
    if (next) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
        m_settleTimer.start(std::max(wait, std::chrono::milliseconds(1)));
    }
    if (settled) {
        m_onSettled();
    }
}

}  // namespace korvane
