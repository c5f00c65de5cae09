// Every input the reader fuzzer found a fault with is kept under
// tests/ifc2x3/fixtures/fuzz/; each one, the fuzzer's seed models and the
// other reader fixtures go through the fuzz target's checks again: no
// crash, an error that says where when the file does not open, and a
// model that saves byte for byte and opens again after changes.
#include "ReaderCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ifc") == 0) {
                files.push_back(folder + "/" + name);
            }
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> replayedFiles()
{
    const std::string source = MQ_SOURCE_DIR;
    std::vector<std::string> files;
    for (const char* folder : {"/tests/ifc2x3/fixtures/fuzz", "/tests/ifc2x3/fixtures", "/fuzz/seeds"}) {
        const std::vector<std::string> found = filesIn(source + folder);
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Replay : public testing::TestWithParam<std::string>
{
};

TEST_P(Replay, ReadsSavesAndReopens)
{
    const std::string text = readFile(GetParam());
    EXPECT_EQ(ReaderCheck::run(text), "");
}

std::string testName(const testing::TestParamInfo<std::string>& info)
{
    const std::string& path = info.param;
    const std::size_t fixtures = path.find("/fixtures/");
    std::string name =
        path.substr(fixtures == std::string::npos ? path.rfind('/', path.rfind('/') - 1) + 1 : fixtures + 10);
    name = name.substr(0, name.size() - 4);
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(FuzzInputs, Replay, testing::ValuesIn(replayedFiles()), testName);

// The fuzz inputs must be found at all, or the suite above tests nothing.
TEST(ReplayInputs, AreThere)
{
    EXPECT_FALSE(filesIn(std::string(MQ_SOURCE_DIR) + "/tests/ifc2x3/fixtures/fuzz").empty());
    EXPECT_FALSE(filesIn(std::string(MQ_SOURCE_DIR) + "/fuzz/seeds").empty());
}

} // namespace
