#include "support/FaultyDirectory.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace korvane::test {

namespace {

constexpr const char* kFiller = "/filler";

bool setImmutable(const std::string& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

}  // namespace

FaultyDirectory::FaultyDirectory(std::string path) : m_path(std::move(path)) {
    std::filesystem::create_directories(m_path);
    m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, "size=64k") == 0;
}

FaultyDirectory::~FaultyDirectory() {
    clear();
    if (m_mounted) {
        ::umount2(m_path.c_str(), MNT_DETACH);
    }
}

bool FaultyDirectory::inject(Fault fault) {
    if (m_mounted && fault == Fault::Full) {
        // Fills the file system to its last block.
        const int fd = ::open((m_path + kFiller).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string block(4096, 'x');
        while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
        m_filled = true;
        m_reason = std::strerror(ENOSPC);
        return true;
    }
    if (m_mounted) {
        m_readOnlyMount =
            ::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        m_reason = std::strerror(EROFS);
        return m_readOnlyMount;
    }
    if (::geteuid() != 0) {
        m_permissionsTaken = ::chmod(m_path.c_str(), 0555) == 0;
        m_reason = std::strerror(EACCES);
        return m_permissionsTaken;
    }
    m_immutable = setImmutable(m_path, true);
    m_reason = std::strerror(EPERM);
    return m_immutable;
}

void FaultyDirectory::clear() {
    if (m_filled) {
        ::unlink((m_path + kFiller).c_str());
        m_filled = false;
    }
    if (m_readOnlyMount) {
        ::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT, nullptr);
        m_readOnlyMount = false;
    }
    if (m_permissionsTaken) {
        ::chmod(m_path.c_str(), 0755);
        m_permissionsTaken = false;
    }
    if (m_immutable) {
        setImmutable(m_path, false);
        m_immutable = false;
    }
}

}  // namespace korvane::test
