#include "vistrel/Cli.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "chess/PgnReader.h"
#include "vistrel/OverviewPage.h"
#include "vistrel/Page.h"

namespace vistrel {

namespace fs = std::filesystem;

namespace {

bool readWholeFile(const fs::path& path, std::string& bytes, std::string& why) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        why = "it is a directory";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        why = "read error";
        return false;
    }
    bytes = std::move(buffer).str();
    return true;
}

bool writeWholeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

// Writes through a temporary name in the same directory and renames it over the target,
// so a reader sees either the old page or the whole new one.
bool writeAtomically(const fs::path& target, const std::string& bytes, std::string& why) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on one long concatenation.
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(getpid());
    name += ".tmp";
    const fs::path temp = target.parent_path() / name;
    if (!writeWholeFile(temp, bytes)) {
        why = std::strerror(errno);
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        why = ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string joined(const std::vector<std::string>& parts, size_t from, size_t to) {
    std::string out;
    for (size_t i = from; i < to; ++i) {
        if (i > from) {
            out += ' ';
        }
        out += parts[i];
    }
    return out;
}

std::string lowered(std::string text) {
    for (char& ch : text) {
        if (ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
    }
    return text;
}

std::string sizeText(std::size_t bytes) {
    constexpr std::size_t kMb = 1024 * 1024;
    return bytes >= kMb ? std::to_string(bytes / kMb) + " MB" : std::to_string(bytes) + " bytes";
}

// One conversion: every fault becomes the message for vislog.txt.
class Conversion {
public:
    Conversion(const CliPaths& paths, std::size_t maxPageBytes)
        : m_paths(paths), m_maxPageBytes(maxPageBytes) {}

    bool run(std::string& message);

private:
    bool fail(std::string& message, const std::string& text) {
        message = text;
        return false;
    }

    CliPaths m_paths;
    std::size_t m_maxPageBytes;
};

bool Conversion::run(std::string& message) {
    const fs::path pgnPath(m_paths.pgn);
    const std::string pgnName = pgnPath.filename().string();
    const std::string pageName = pageNameFor(pgnName);
    if (pageName.empty()) {
        return fail(message, "the file name \"" + pgnName + "\" is too short to name a page");
    }
    if (lowered(pageName) == lowered(pgnName)) {
        return fail(message, "the page " + pageName + " would replace the PGN file itself");
    }
    std::string bytes, why;
    if (!readWholeFile(m_paths.ini, bytes, why)) {
        return fail(message, "cannot read the ini file " + m_paths.ini + ": " + why);
    }
    PageIni ini;
    std::string iniError;
    if (!parseIni(bytes, ini, iniError)) {
        return fail(message, fs::path(m_paths.ini).filename().string() + ", " + iniError);
    }
    if (!readWholeFile(pgnPath, bytes, why)) {
        return fail(message, "cannot read the PGN file " + m_paths.pgn + ": " + why);
    }
    chess::PgnFile file;
    chess::PgnError pgnError;
    if (!chess::readPgn(bytes, pgnName, file, pgnError, false)) {
        return fail(message, pgnError.message);
    }
    if (ini.overview) {
        if (const std::string bad = checkPageLinks(file, pgnName); !bad.empty()) {
            return fail(message, bad);
        }
    }
    const std::string page =
        ini.overview ? renderOverviewPage(file, ini) : renderGamePage(file, ini);
    if (page.size() > m_maxPageBytes) {
        return fail(message, pgnName + ": the page for its " + std::to_string(file.games.size()) +
                                 " games would be larger than " + sizeText(m_maxPageBytes) +
                                 "; split the file into smaller ones");
    }
    const fs::path pagePath = pgnPath.parent_path() / pageName;
    if (!writeAtomically(pagePath, page, why)) {
        return fail(message, "cannot write the page " + pagePath.string() + ": " + why);
    }
    return true;
}

}  // namespace

bool splitArguments(const std::vector<std::string>& args, CliPaths& out) {
    std::vector<std::string> words;
    for (const std::string& arg : args) {
        if (arg == "-x" || arg == "-X") {
            continue;
        }
        if (arg.empty() || (arg[0] == '-' && arg.size() > 1)) {
            return false;
        }
        words.push_back(arg);
    }
    if (words.size() < 2) {
        return false;
    }
    // Prefer the split where both files exist, then one where the PGN file exists, then
    // one where the ini file exists; with none, the first word is the PGN path.
    size_t best = 1;
    int bestScore = -1;
    for (size_t k = 1; k < words.size(); ++k) {
        const int score = (fileExists(joined(words, 0, k)) ? 2 : 0) +
                          (fileExists(joined(words, k, words.size())) ? 1 : 0);
        if (score > bestScore) {
            best = k;
            bestScore = score;
        }
    }
    out.pgn = joined(words, 0, best);
    out.ini = joined(words, best, words.size());
    return true;
}

std::string pageNameFor(const std::string& pgnFileName) {
    if (pgnFileName.size() <= 4) {
        return {};
    }
    return pgnFileName.substr(0, pgnFileName.size() - 4) + ".htm";
}

int runCli(const std::vector<std::string>& args, std::ostream& err, std::size_t maxPageBytes) {
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        err << kUsage << '\n';
        return kExitOk;
    }
    CliPaths paths;
    if (!splitArguments(args, paths)) {
        err << kUsage << '\n';
        return kExitBadArguments;
    }
    const fs::path pgnPath(paths.pgn);
    const fs::path logPath = pgnPath.parent_path() / kLogName;
    const std::string pageName = pageNameFor(pgnPath.filename().string());
    std::error_code ec;
    // A log left by an earlier run would read as this run's failure.
    fs::remove(logPath, ec);

    std::string message;
    Conversion conversion(paths, maxPageBytes);
    bool ok = false;
    try {
        ok = conversion.run(message);
    } catch (const std::exception& e) {
        message = pgnPath.filename().string() + ": the page could not be made: " + e.what();
    }
    if (ok) {
        return kExitOk;
    }
    // No page after a failure: an older one would pass for this run's result.
    if (!pageName.empty() && lowered(pageName) != lowered(pgnPath.filename().string())) {
        fs::remove(pgnPath.parent_path() / pageName, ec);
    }
    err << message << '\n';
    if (!writeWholeFile(logPath, message)) {
        err << "cannot write " << logPath.string() << '\n';
    }
    return kExitConversionError;
}

}  // namespace vistrel
