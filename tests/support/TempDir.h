#pragma once
// A temporary directory removed with everything in it when the test ends.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace korvane::test {

class TempDir {
public:
    TempDir() : m_path((std::filesystem::temp_directory_path() / "korvane-test-XXXXXX").string()) {
        if (!::mkdtemp(m_path.data())) {
            throw std::runtime_error("cannot create a temporary directory");
        }
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        // Tests make files and directories read-only; give the owner write access back first.
        for (auto it = fs::recursive_directory_iterator(m_path, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory's path, without a trailing separator.
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Writes bytes to file(name), creating directories on the way; returns the path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path p = file(name);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

private:
    std::string m_path;
};

// The whole content of a file, as bytes; empty when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

}  // namespace korvane::test
