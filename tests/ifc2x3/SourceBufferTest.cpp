// A mapped file read here and there must not stay resident: the pages
// read are dropped every few megabytes, unless they are asked to stay.
#include "TestSupport.h"

#include "Step/SourceBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Resident bytes of the mapping that starts at address, from smaps.
std::size_t residentBytes(const void* address)
{
    char start[32];
    std::snprintf(start, sizeof(start), "%lx-", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(address)));
    std::ifstream smaps("/proc/self/smaps");
    bool inMapping = false;
    for (std::string line; std::getline(smaps, line);) {
        if (line.rfind(start, 0) == 0) {
            inMapping = true;
        } else if (inMapping && line.rfind("Rss:", 0) == 0) {
            return std::stoul(line.substr(4)) * 1024;
        }
    }
    return ~std::size_t(0);
}

std::string bigModelText()
{
    std::string text;
    text.reserve(std::size_t(18) << 20);
    for (int i = 0; i < 500000; ++i) {
        text += "#" + std::to_string(i + 1) + "=IFCCARTESIANPOINT((1.,2.,3.));\n";
    }
    return text;
}

TEST(SourceBuffer, ScatteredReadsDoNotKeepTheFileResident)
{
    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels());
    ifctest::TempDir dir;
    const std::string path = dir.file("big.ifc");
    const std::string text = bigModelText();
    ifctest::writeFile(path, text);
    ASSERT_GT(text.size(), std::size_t(16) << 20);

    Step::SourceBuffer source;
    std::string error;
    ASSERT_TRUE(source.map(path, error)) << error;
    ASSERT_EQ(source.text().size(), text.size());
    std::size_t sum = 0;
    std::size_t peak = 0;
    for (std::size_t offset = 0; offset < text.size(); offset += 20000) {
        source.noteRead(offset);
        sum += static_cast<unsigned char>(source.text()[offset]);
        peak = std::max(peak, residentBytes(source.text().data()));
    }
    EXPECT_GT(sum, 0u);
    // A read maps from 64 KB to 2 MB around it, as the kernel caches the
    // file: all of it was mapped in turn, never more than a few megabytes
    // at a time.
    EXPECT_LE(peak, std::size_t(6) << 20);
    EXPECT_GT(peak, 0u);
}

TEST(SourceBuffer, KeptPagesStayUntilTheyAreLetGo)
{
    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels());
    ifctest::TempDir dir;
    const std::string path = dir.file("big.ifc");
    const std::string text = bigModelText();
    ifctest::writeFile(path, text);

    Step::SourceBuffer source;
    std::string error;
    ASSERT_TRUE(source.map(path, error)) << error;
    source.setKeepResident(true);
    std::size_t sum = 0;
    for (std::size_t offset = 0; offset < text.size(); offset += 20000) {
        source.noteRead(offset);
        sum += static_cast<unsigned char>(source.text()[offset]);
    }
    source.release(0, text.size());
    EXPECT_GT(sum, 0u);
    EXPECT_GE(residentBytes(source.text().data()), text.size() / 2) << "read pages stay";
    EXPECT_EQ(source.text(), text);

    source.setKeepResident(false);
    EXPECT_LE(residentBytes(source.text().data()), std::size_t(1) << 20) << "all dropped at once";
    EXPECT_EQ(source.text().substr(0, 40), text.substr(0, 40)) << "and read back on demand";
}

/// Ends the process if a test hangs (a read faulting for ever), rather than
/// leaving the run waiting.
class Watchdog
{
public:
    Watchdog() { alarm(120); }
    ~Watchdog() { alarm(0); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};

// Another program truncates the mapped file: reading past its new end gives
// zeros instead of ending the process, and the buffer is no longer intact.
TEST(SourceBuffer, ATruncatedFileReadsAsZerosAndIsNoLongerIntact)
{
    const Watchdog watchdog;
    ifctest::TempDir dir;
    const std::string path = dir.file("model.ifc");
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    ifctest::writeFile(path, std::string(3 * page, 'x'));
    Step::SourceBuffer source;
    std::string error;
    ASSERT_TRUE(source.map(path, error)) << error;
    EXPECT_EQ(source.text()[page], 'x');
    EXPECT_TRUE(source.intact());

    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(page / 2)), 0);
    EXPECT_EQ(source.text()[2 * page + 7], '\0');
    EXPECT_EQ(source.text()[page], '\0');
    EXPECT_FALSE(source.intact(Step::SourceBuffer::Check::Lazily));
    EXPECT_NE(source.damage().find(path), std::string::npos) << source.damage();
}

// Truncated, or rewritten in place as an authoring tool exporting again
// does: what was decoded stays, nothing more is read from the file, saving
// refuses with a message, and the process lives on.
TEST(SourceBuffer, AModelWhoseFileChangesKeepsWhatItReadAndRefusesTheRest)
{
    const Watchdog watchdog;
    const std::string model = ifctest::smallModel();
    const std::string reexported = "/* exported again */\n" + model;
    for (const bool truncated : {true, false}) {
        ifctest::TempDir dir;
        const std::string path = dir.file("model.ifc");
        ifctest::writeFile(path, model);
        ifc2x3::ExpressDataSet dataSet;
        ASSERT_TRUE(dataSet.open(path)) << dataSet.lastError().toString();
        ASSERT_NE(dataSet.get(20), nullptr);

        if (truncated) {
            ASSERT_EQ(::truncate(path.c_str(), 0), 0);
        } else {
            ifctest::writeFile(path, reexported);
        }
        EXPECT_EQ(dataSet.get(21), nullptr) << truncated;
        EXPECT_EQ(dataSet.get(60), nullptr) << truncated;
        EXPECT_NE(dataSet.get(20), nullptr) << "decoded before, kept";
        EXPECT_TRUE(ifctest::anyContains(dataSet.takeWarnings(), "changed by another program")) << truncated;

        std::string error;
        EXPECT_FALSE(dataSet.sourceIntact(&error));
        EXPECT_FALSE(dataSet.save(dir.file("saved.ifc"), &error));
        EXPECT_NE(error.find("changed by another program"), std::string::npos) << error;
        EXPECT_FALSE(ifctest::fileExists(dir.file("saved.ifc")));
        EXPECT_EQ(ifctest::readFile(path), truncated ? "" : reexported) << "the other program's file is left alone";
    }
}

} // namespace
