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

} // namespace
