#pragma once
// A directory in which writing fails the way it does at a venue: the disk is full, or the
// directory has turned read-only. Where the test may mount, it is a small tmpfs, filled up
// or remounted read-only. Elsewhere a read-only directory stands in for both: a user loses
// the write permission; root, which ignores permission bits, gets an immutable directory.
// When none of these is allowed, inject() fails and the test is skipped.

#include <functional>
#include <string>

namespace korvane::test {

class FaultyDirectory {
public:
    enum class Fault { Full, ReadOnly };

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
    bool injected(int error, std::function<void()> undo);

    std::string m_path;
    std::string m_reason;
    bool m_mounted = false;
    std::function<void()> m_undo;  // makes writing work again
};

}  // namespace korvane::test
