#pragma once

// What the library's tests read in STEP text, on top of the shared support.
#include "ModelBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"

#include "ifc2x3/ExpressDataSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace ifctest {

using namespace testsupport;
namespace fs = std::filesystem;

using Keys = std::vector<Step::Id>;

/// The keys of instances, in the order given.
template <class List> Keys keysOf(const List& items)
{
    Keys keys;
    for (const auto& item : items) {
        keys.push_back(item->getKey());
    }
    return keys;
}

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
    return std::regex_search(text, std::regex("#" + std::to_string(key) + "(?![0-9])"));
}

/// The line of the data section that defines #key ("" when none).
inline std::string recordLine(const std::string& text, Step::Id key)
{
    std::smatch found;
    const std::regex line("^#" + std::to_string(key) + "=.*$", std::regex::multiline);
    return std::regex_search(text, found, line) ? found.str() : std::string();
}

inline std::vector<std::string> sortedEntries(const TempDir& dir)
{
    std::vector<std::string> names = dir.entries();
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace ifctest
