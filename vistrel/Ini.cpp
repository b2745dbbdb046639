#include "vistrel/Ini.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>

#include "chess/TextEncoding.h"

namespace vistrel {

namespace {

std::string trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Each setter stores a value or returns the reason it does not fit.
using Setter = std::function<std::string(const std::string& value, PageIni& ini)>;

Setter boolSetter(bool PageIni::*field) {
    return [field](const std::string& value, PageIni& ini) -> std::string {
        const std::string v = lower(value);
        if (v == "yes" || v == "true" || v == "on" || v == "1") {
            ini.*field = true;
        } else if (v == "no" || v == "false" || v == "off" || v == "0") {
            ini.*field = false;
        } else {
            return "expected yes or no";
        }
        return {};
    };
}

Setter intSetter(int PageIni::*field, int min, int max) {
    return [field, min, max](const std::string& value, PageIni& ini) -> std::string {
        int n = 0;
        const auto* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, n);
        if (value.empty() || ec != std::errc() || ptr != end || n < min || n > max) {
            return "expected a whole number from " + std::to_string(min) + " to " +
                   std::to_string(max);
        }
        ini.*field = n;
        return {};
    };
}

// Colours end up inside the page's style sheet, so only plain forms are accepted:
// #rgb, #rrggbb or a colour name made of letters.
bool isColour(const std::string& v) {
    if (!v.empty() && v[0] == '#') {
        return (v.size() == 4 || v.size() == 7) &&
               std::all_of(v.begin() + 1, v.end(),
                           [](unsigned char c) { return std::isxdigit(c) != 0; });
    }
    return !v.empty() && v.size() <= 30 &&
           std::all_of(v.begin(), v.end(), [](unsigned char c) { return std::isalpha(c) != 0; });
}

Setter colourSetter(std::string PageIni::*field) {
    return [field](const std::string& value, PageIni& ini) -> std::string {
        if (!isColour(value)) {
            return "expected a colour such as #eeeed2 or white";
        }
        ini.*field = value;
        return {};
    };
}

// The overview link stays a page beside this one: no folder, drive or scheme.
std::string setOverviewPage(const std::string& value, PageIni& ini) {
    if (value.find_first_of("/\\:") != std::string::npos || value == "." || value == "..") {
        return "expected the name of a page in the same folder, such as allgames.htm";
    }
    ini.overviewPage = value;
    return {};
}

const std::map<std::string, std::map<std::string, Setter>>& settingTable() {
    static const std::map<std::string, std::map<std::string, Setter>> table = {
        {"page",
         {
             {"title",
              [](const std::string& v, PageIni& ini) {
                  ini.title = v;
                  return std::string();
              }},
             {"refresh", intSetter(&PageIni::refreshSeconds, 0, 86400)},
             {"start",
              [](const std::string& v, PageIni& ini) -> std::string {
                  const std::string l = lower(v);
                  if (l == "first") {
                      ini.start = StartPosition::First;
                  } else if (l == "last") {
                      ini.start = StartPosition::Last;
                  } else {
                      return "expected first or last";
                  }
                  return {};
              }},
             {"clocks", boolSetter(&PageIni::clocks)},
             {"overview_page", setOverviewPage},
             {"layout",
              [](const std::string& v, PageIni& ini) -> std::string {
                  const std::string l = lower(v);
                  if (l == "game") {
                      ini.overview = false;
                  } else if (l == "overview") {
                      ini.overview = true;
                  } else {
                      return "expected game or overview";
                  }
                  return {};
              }},
         }},
        {"board",
         {
             {"size", intSetter(&PageIni::boardSize, 120, 2000)},
             {"light", colourSetter(&PageIni::lightColour)},
             {"dark", colourSetter(&PageIni::darkColour)},
             {"lastmove", colourSetter(&PageIni::lastMoveColour)},
             {"coordinates", boolSetter(&PageIni::coordinates)},
         }},
        {"overview",
         {
             {"per_row", intSetter(&PageIni::boardsPerRow, 1, 12)},
             {"board_size", intSetter(&PageIni::smallBoardSize, 80, 1000)},
         }},
    };
    return table;
}

}  // namespace

bool parseIni(const std::string& bytes, PageIni& out, std::string& error) {
    // An ini saved by a Windows editor in its single-byte code page would otherwise put
    // invalid UTF-8 (a title "M\xFCnchen") into the UTF-8 page. A byte-order mark is
    // dropped before the encoding is decided.
    const std::string text = chess::decodePgnText(bytes);
    PageIni ini;
    const std::map<std::string, Setter>* section = nullptr;
    std::string sectionName;
    std::size_t pos = 0;
    int lineNo = 0;
    while (pos < text.size()) {
        const auto eol = text.find('\n', pos);
        const std::string raw =
            text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
        pos = eol == std::string::npos ? text.size() : eol + 1;
        ++lineNo;
        const std::string line = trim(raw);
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNo) + " (" + line + "): " + why;
            return false;
        };
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                return fail("a section name must end with \"]\"");
            }
            sectionName = lower(trim(line.substr(1, line.size() - 2)));
            const auto it = settingTable().find(sectionName);
            if (it == settingTable().end()) {
                return fail("unknown section [" + sectionName + "]");
            }
            section = &it->second;
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            return fail("expected key = value");
        }
        const std::string key = lower(trim(line.substr(0, eq)));
        const std::string value = trim(line.substr(eq + 1));
        if (section == nullptr) {
            return fail("key \"" + key + "\" stands before any [section]");
        }
        const auto setter = section->find(key);
        if (setter == section->end()) {
            return fail("unknown key \"" + key + "\" in [" + sectionName + "]");
        }
        const std::string why = setter->second(value, ini);
        if (!why.empty()) {
            return fail("bad value \"" + value + "\" for " + key + ": " + why);
        }
    }
    out = ini;
    error.clear();
    return true;
}

}  // namespace vistrel
