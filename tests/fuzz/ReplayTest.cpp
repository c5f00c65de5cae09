// Every input the reader fuzzer found a fault with is kept under
// tests/ifc2x3/fixtures/fuzz/; each one, the fuzzer's seed models and the
// other reader fixtures go through the fuzz target's checks again: no
// crash, an error that says where when the file does not open, and a
// model that saves byte for byte and opens again after changes.
#include "ReaderCheck.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const folders[] = {"tests/ifc2x3/fixtures/fuzz", "tests/ifc2x3/fixtures", "fuzz/seeds"};

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(testsupport::sourcePath(folder))) {
        if (entry.path().extension() == ".ifc") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> replayedFiles()
{
    std::vector<std::string> files;
    for (const char* folder : folders) {
        const std::vector<std::string> found = filesIn(folder);
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

class Replay : public testing::TestWithParam<std::string>
{
};

TEST_P(Replay, ReadsSavesAndReopens)
{
    EXPECT_EQ(ReaderCheck::run(testsupport::readFile(GetParam())), "");
}

// The name of the file from its folder on: fuzz/x.ifc becomes fuzz_x.
std::string testName(const testing::TestParamInfo<std::string>& info)
{
    const fs::path path(info.param);
    std::string name = path.parent_path().filename().string() + "_" + path.stem().string();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(FuzzInputs, Replay, testing::ValuesIn(replayedFiles()), testName);

// The inputs must be found at all, or the suite above tests nothing.
TEST(ReplayInputs, AreThere)
{
    for (const char* folder : folders) {
        EXPECT_FALSE(filesIn(folder).empty()) << folder;
    }
}

} // namespace
