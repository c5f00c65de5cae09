// A mapped file that another program truncates or rewrites: reads give
// zeros rather than a crash, and the data set refuses what it cannot trust.
#include "StepText.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

// Truncated, or rewritten in place as an authoring tool exporting again
// does: what was decoded stays, nothing more is read from the file, saving
// refuses with a message, and the process lives on.
TEST(SourceBuffer, AModelWhoseFileChangesKeepsWhatItReadAndRefusesTheRest)
{
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
        EXPECT_FALSE(ifctest::fs::exists(dir.file("saved.ifc")));
        EXPECT_EQ(ifctest::readFile(path), truncated ? "" : reexported) << "the other program's file is left alone";
    }
}

} // namespace
