#pragma once

#include "ifc2x3/ExpressDataSet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace ifctest {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

/// Path of a real sample model, or an empty string when it is not there.
inline std::string samplePath(const std::string& name)
{
    const fs::path path = fs::path(MQ_SHARED_DIR) / "samples" / name;
    return fs::exists(path) ? path.string() : std::string();
}

inline std::string fixturePath(const std::string& name)
{
    return std::string(MQ_SOURCE_DIR) + "/tests/ifc2x3/fixtures/" + name;
}

/// A complete exchange file around the given data section lines.
inline std::string stepFile(const std::string& data)
{
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [CoordinationView]'),'2;1');\n"
           "FILE_NAME('test.ifc','2024-01-01T00:00:00',('tester'),('org'),'pre','app','');\n"
           "FILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n" +
           data + "ENDSEC;\nEND-ISO-10303-21;\n";
}

inline bool anyContains(const std::vector<std::string>& lines, const std::string& needle)
{
    for (const std::string& line : lines) {
        if (line.find(needle) != std::string::npos) {
            return true;
        }
    }
    return false;
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

/// A folder of its own, removed with its content at the end of the scope.
class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "ifc2x3-test-XXXXXX").string();
        if (::mkdtemp(pattern.data())) {
            m_path = pattern;
        }
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    /// Names of the entries, sorted.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_path)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path m_path;
};

/// fixtures/small-model.ifc: a small building with every relation the data
/// set keeps inverses of. Keys are not in file order: #9 (a property
/// relation) comes after the objects it names, #7 before the wall #60 it
/// names (a forward reference). Lengths are in millimetres.
inline const std::string& smallModel()
{
    static const std::string text = readFile(fixturePath("small-model.ifc"));
    return text;
}

} // namespace ifctest
