#include "ifc2x3/ExpressDataSet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

TEST(RoundTrip, RealSamplesAreWrittenBackByteIdentical)
{
    for (const char* name : {"AC11-Institute-Var-2-IFC.ifc", "duplex.ifc"}) {
        const std::string path = std::string(MQ_SHARED_DIR) + "/samples/" + name;
        const std::string original = readFile(path);
        if (original.empty()) {
            GTEST_SKIP() << "sample not available: " << path;
        }
        ifc2x3::ExpressDataSet dataSet;
        ASSERT_TRUE(dataSet.open(path)) << dataSet.lastError().toString();
        dataSet.getAllIfcObjectDefinition();
        EXPECT_EQ(dataSet.toText(), original) << name;
    }
}

} // namespace
