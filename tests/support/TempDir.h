#pragma once
// A temporary directory removed with everything in it when the test ends.

#include <string>

namespace korvane::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory's path, without a trailing separator.
    const std::string& path() const { return m_path; }
    // path() + "/" + name
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Writes bytes to path() + "/" + name (creating directories on the way); returns the path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string m_path;
};

// The whole content of a file, as bytes; empty when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace korvane::test
