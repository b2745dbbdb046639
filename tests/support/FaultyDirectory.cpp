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

namespace korvane::test {

namespace {

bool setImmutable(const std::string& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
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
    const char* dir = m_path.c_str();
    if (m_mounted && fault == Fault::Full) {
        // Fills the file system to its last block.
        const std::string filler = m_path + "/filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string block(4096, 'x');
        while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
        return injected(ENOSPC, [filler] { ::unlink(filler.c_str()); });
    }
    if (m_mounted) {
        return ::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0 &&
               injected(EROFS, [dir] { ::mount(nullptr, dir, nullptr, MS_REMOUNT, nullptr); });
    }
    if (::geteuid() != 0) {
        return ::chmod(dir, 0555) == 0 && injected(EACCES, [dir] { ::chmod(dir, 0755); });
    }
    return setImmutable(m_path, true) && injected(EPERM, [this] { setImmutable(m_path, false); });
}

bool FaultyDirectory::injected(int error, std::function<void()> undo) {
    m_reason = std::strerror(error);
    m_undo = std::move(undo);
    return true;
}

void FaultyDirectory::clear() {
    if (m_undo) {
        m_undo();
        m_undo = nullptr;
    }
}

}  // namespace korvane::test
