#pragma once

// What the library's tests read in STEP text, on top of the shared support.
#include "ModelBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"

#include "ifc2x3/ExpressDataSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace ifctest {

using namespace testsupport;
namespace fs = std::filesystem;

inline std::string fixturePath(const std::string& name)
{
    return sourcePath("tests/ifc2x3/fixtures/" + name);
}

/// fixtures/small-model.ifc: a small building with every relation the data
/// set keeps inverses of. Keys are not in file order: #9 (a property
/// relation) comes after the objects it names, #7 before the wall #60 it
/// names (a forward reference). Lengths are in millimetres.
inline const std::string& smallModel()
{
    static const std::string text = readFile(fixturePath("small-model.ifc"));
    return text;
}

inline bool anyContains(const std::vector<std::string>& lines, const std::string& needle)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(needle) != std::string::npos; });
}

/// Whether the text names instance #key as a whole token (#12 but not #123).
inline bool mentionsKey(const std::string& text, Step::Id key)
{
    const std::string token = "#" + std::to_string(key);
    for (std::size_t pos = text.find(token); pos != std::string::npos; pos = text.find(token, pos + 1)) {
        const std::size_t end = pos + token.size();
        if (end >= text.size() || text[end] < '0' || text[end] > '9') {
            return true;
        }
    }
    return false;
}

/// The line of the data section that defines #key ("" when none).
inline std::string recordLine(const std::string& text, Step::Id key)
{
    const std::string start = "#" + std::to_string(key) + "=";
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, start.size(), start) == 0) {
            return line;
        }
    }
    return {};
}

inline std::vector<std::string> sortedEntries(const TempDir& dir)
{
    std::vector<std::string> names = dir.entries();
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace ifctest
