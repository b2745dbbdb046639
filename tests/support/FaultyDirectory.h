#pragma once
// A directory in which writing fails the way it does at a venue: the disk is full, or the
// directory has turned read-only. Where the test may mount file systems (root with the
// right to mount) the directory is a small tmpfs, filled up or remounted read-only, and
// the system reports "No space left on device" or "Read-only file system". Elsewhere a
// read-only directory stands in for both: for a user the write permission is taken away
// ("Permission denied"); for root, which ignores permission bits, the directory is made
// immutable ("Operation not permitted"). When none of these is allowed, inject() fails and
// the test is skipped.

#include <string>

namespace korvane::test {

class FaultyDirectory {
public:
    enum class Fault { Full, ReadOnly };

    // Creates the directory (a tmpfs when it can be mounted).
    explicit FaultyDirectory(std::string path);
    ~FaultyDirectory();
    FaultyDirectory(const FaultyDirectory&) = delete;
    FaultyDirectory& operator=(const FaultyDirectory&) = delete;

    const std::string& path() const { return m_path; }

    // Makes writing fail; false when that is not possible here.
    bool inject(Fault fault);
    // Writing works again.
    void clear();
    // The system's text for the failure that inject() caused.
    const std::string& reason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
    bool m_mounted = false;
    bool m_filled = false;
    bool m_readOnlyMount = false;
    bool m_permissionsTaken = false;
    bool m_immutable = false;
};

}  // namespace korvane::test
