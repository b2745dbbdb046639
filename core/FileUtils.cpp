#include "core/FileUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

bool hasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

std::string describe(int error) {
    return std::strerror(error);
}

// Writes bytes to a new temporary file beside path and renames it over path, so that
// readers and a crash in the middle see either the old or the new content, never a part.
// Returns 0 or the errno of the failing step; the temporary file is gone either way.
int writeAtomically(const std::string& path, const std::string& bytes, mode_t mode) {
    const std::string dir = fs::path(path).parent_path().string();
    std::string pattern = (dir.empty() ? std::string(".") : dir) + "/.korvane-save-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0 && error == 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno != EINTR) {
                error = errno;
            }
        } else {
            data += written;
            left -= static_cast<std::size_t>(written);
        }
    }
    if (error == 0 && ::fchmod(fd, mode) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(pattern.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(pattern.c_str());
    }
    return error;
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a path finally names: a link is followed, so that saving replaces the file
// the link points to, not the link.
std::string resolveLinks(const std::string& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        const fs::path resolved = fs::canonical(path, ec);
        if (!ec) {
            return resolved.string();
        }
    }
    return path;
}

// Reads a whole file; returns 0 or the errno of the failure.
int readAll(std::FILE* file, std::string& out) {
    std::string bytes;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, n);
    }
    if (std::ferror(file)) {
        return errno != 0 ? errno : EIO;
    }
    out = std::move(bytes);
    return 0;
}

// Whether a failure is to be reported: always when the operator acts, and during the
// processing cycles only when the same failure in the same directory is not outstanding.
bool firstReport(ProgramState& state, const std::string& file, int error) {
    return !state.bInCycle || state.fileFailures.failed(file, error);
}

// A failed copy: bError, and the entry with the system's reason unless the same failure in
// the same directory has been reported and has not been followed by a success.
void reportCopyFailure(ProgramState& state, const std::string& source, const std::string& target,
                       const std::string& failing, int error) {
    state.bError = true;
    if (!firstReport(state, failing, error)) {
        return;
    }
    const std::string message =
        "Error copying " + source + " to " + target + ": " + describe(error);
    if (state.ui.monitorVisible()) {
        LogDated(state, message);
        state.ui.raiseAlarm();
    } else {
        state.ui.messageBox(message, "Korvane", Buttons::Ok, Icon::None);
    }
}

}  // namespace

bool FileCheck(const std::string& path) {
    if (path.find('.') == std::string::npos) {
        return false;
    }
    const fs::path p(path);
    const std::string name = p.filename().string();
    if (name.empty()) {
        return false;
    }
    std::error_code ec;
    if (!hasWildcard(name)) {
        return fs::is_regular_file(p, ec);
    }
    const std::string dir = p.has_parent_path() ? p.parent_path().string() : std::string(".");
    const QDir qdir(QString::fromStdString(dir), QString::fromStdString(name), QDir::NoSort,
                    QDir::Files | QDir::CaseSensitive);
    return !qdir.entryList().isEmpty();
}

bool DirExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

bool PathExists(const std::string& path) {
    return path.find('.') != std::string::npos ? FileCheck(path) : DirExists(path);
}

std::string ReturnDir(ProgramState& state, const std::string& path) {
    if (path.empty()) {
        return {};
    }
    if (!FileCheck(path)) {
        return path;
    }
    std::size_t current = path.find(kSep);
    if (current == std::string::npos) {
        LogStandard(state, "Invalid procedure call or argument",
                    "Unexpected error in function ReturnDir.");
        return {};
    }
    for (;;) {
        const std::size_t next = path.find(kSep, current + 1);
        if (next == std::string::npos || next == path.size() - 1) {
            break;
        }
        current = next;
    }
    return path.substr(0, current);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t sep = path.rfind(kSep);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string WithTrailingSep(const std::string& path) {
    if (!path.empty() && path.back() == kSep) {
        return path;
    }
    return path + kSep;
}

bool LoadTextFile(ProgramState& state, const std::string& path, std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    int error = file ? readAll(file, text) : errno;
    if (file) {
        std::fclose(file);
    }
    if (error == 0) {
        return true;
    }
    if (error == EACCES || error == EPERM) {
        state.ui.messageBox(describe(error) + kCrLf + "Unable to open " + path + kCrLf +
                                "Maybe the file is open in another program.",
                            "Error", Buttons::Ok, Icon::None);
    } else {
        state.ui.messageBox(
            describe(error) + kCrLf + "Error in Procedure LoadTextFile." + "File: " + path, "Error",
            Buttons::Ok, Icon::Critical);
    }
    return false;
}

OpenFile OpenTextFile(ProgramState& state, const std::string& path, std::string& text) {
    OpenFile file(std::fopen(path.c_str(), "rb"), &std::fclose);
    const int error = file ? readAll(file.get(), text) : errno;
    if (error == 0) {
        return file;
    }
    LogStandard(state, describe(error),
                std::string("Error in Procedure OpenTextFile.") + "Couldn't open " + path);
    state.ui.raiseAlarm();
    state.ui.processEvents();
    return OpenFile(nullptr, &std::fclose);
}

bool IsReadOnly(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return false;
    }
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void SetReadOnly(const std::string& path, bool readOnly) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return;
    }
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    ::chmod(path.c_str(), mode);
}

void SaveFile(ProgramState& state, const std::string& path, const std::string& text, bool readOnly,
              bool noPrompt) {
    state.bError = false;
    const std::string target = resolveLinks(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    bool wasReadOnly = false;
    mode_t mode = defaultFileMode();
    if (exists) {
        wasReadOnly = IsReadOnly(target);
        if (!noPrompt && state.ui.messageBox("Replace existing " + path + "?", "Replace?",
                                             Buttons::YesNo, Icon::None) == Answer::No) {
            return;
        }
        // The new file keeps the old one's permissions, made writable ("normal").
        mode = (st.st_mode & 07777) | S_IWUSR;
    }
    if (readOnly || wasReadOnly) {
        mode &= ~(S_IWUSR | S_IWGRP | S_IWOTH);
    }
    const int error = writeAtomically(target, text, mode);
    if (error != 0) {
        state.bError = true;
        if (!firstReport(state, target, error)) {
            return;
        }
        // A box would hold the cycle until the operator comes to the laptop: the log says it.
        if (state.bInCycle) {
            LogStandard(state, describe(error),
                        "Unexpected error in procedure SaveFile. File: " + target);
            state.ui.raiseAlarm();
        } else {
            state.ui.messageBox(describe(error) + kCrLf + "Unexpected error in procedure SaveFile",
                                "Error", Buttons::Ok, Icon::Critical);
        }
        return;
    }
    ReportRecovery(state, target);
}

std::error_code ReadWholeFile(const std::string& path, std::string& bytes) {
    int error = 0;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        error = readAll(file, bytes);
        std::fclose(file);
    } else {
        error = errno;
    }
    return std::error_code(error, std::generic_category());
}

std::error_code WriteCopy(ProgramState& state, const std::string& source, const std::string& bytes,
                          const std::string& target) {
    const int error = writeAtomically(resolveLinks(target), bytes, defaultFileMode());
    if (error != 0) {
        reportCopyFailure(state, source, target, target, error);
        return std::error_code(error, std::generic_category());
    }
    ReportRecovery(state, target);
    return {};
}

std::error_code CopyOneFile(ProgramState& state, const std::string& source,
                            const std::string& target) {
    std::string bytes;
    const std::error_code readError = ReadWholeFile(source, bytes);
    if (readError) {
        reportCopyFailure(state, source, target, source, readError.value());
        return readError;
    }
    ReportRecovery(state, source);
    return WriteCopy(state, source, bytes, target);
}

void ReportRecovery(ProgramState& state, const std::string& file) {
    if (state.fileFailures.empty()) {
        return;
    }
    const std::string dir = state.fileFailures.succeeded(file);
    if (!dir.empty()) {
        LogEvent(state, "Copying and saving work again in " + dir + ".");
    }
}

void DeletePgnFiles(const std::string& directory) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(directory, ec)) {
        std::error_code entryError;
        if (entry.is_regular_file(entryError) &&
            EqualsNoCase(entry.path().extension().string(), ".pgn")) {
            fs::remove(entry.path(), entryError);
        }
    }
}

}  // namespace korvane
