#include "Plugins/Tools/MaterialQuantities/Core/PropertyPathResolution.h"
#include "PathTestModel.h"

#include <gtest/gtest.h>

using Orvane::PropertyPathResolution;

namespace {

struct Resolution
{
    const char* path;
    int found;
};

void PrintTo(const Resolution& resolution, std::ostream* out)
{
    *out << '"' << resolution.path << "\" on " << resolution.found;
}

class PathResolution : public ::testing::TestWithParam<Resolution>
{
};

TEST_P(PathResolution, CountsTheBuildingElementsThePathResolvesOn)
{
    const PathTestModel built;
    ASSERT_TRUE(built.model);
    PropertyPathResolution resolution(*built.model);
    EXPECT_EQ(resolution.elementCount(), 5);
    EXPECT_EQ(resolution.count(GetParam().path), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathResolution,
                         ::testing::Values(Resolution{"Type/Properties/Unite_Fonctionnelle/Type", 5},
                                           Resolution{"Type/Properties/Unite_Fonctionnelle/Masse_par_UF", 3},
                                           // The opening of the same type is no building element.
                                           Resolution{"Type/Properties/Pset_Other/X", 1},
                                           Resolution{"Type/Properties/Nowhere/X", 0}, Resolution{"Type", 5},
                                           Resolution{"Type//Unite_Fonctionnelle/Type", 0},
                                           Resolution{"Properties/BaseQuantities/NetVolume", 2},
                                           Resolution{"Properties/BaseQuantities/Length", 0},
                                           Resolution{"Fields/Name", 5}, Resolution{"", 0}));

TEST(PathResolutionOnUntyped, ATypePathSkipsElementsWithoutType)
{
    const PathTestModel built(true);
    PropertyPathResolution resolution(*built.model);
    EXPECT_EQ(resolution.elementCount(), 6);
    EXPECT_EQ(resolution.count("Type/Properties/Unite_Fonctionnelle/Type"), 5);
    EXPECT_EQ(resolution.count("Fields/Name"), 6);
}

/// Advances with no time left, one step a call, and counts the calls.
int stepsToCount(PropertyPathResolution& resolution, const QString& path, int& found)
{
    PropertyPathResolution::Count count = PropertyPathResolution::start(path);
    int steps = 1;
    while (!resolution.advance(count, QDeadlineTimer(0))) {
        ++steps;
    }
    found = count.found;
    return steps;
}

TEST(PathResolutionInSteps, ResumesWhereItStoppedAndResolvesATypePathOncePerType)
{
    const PathTestModel built;
    PropertyPathResolution resolution(*built.model);
    int found = 0;
    // Grouping the five elements by type comes first, once.
    stepsToCount(resolution, "Type/Properties/Unite_Fonctionnelle/Masse_par_UF", found);
    EXPECT_EQ(found, 3);
    EXPECT_EQ(stepsToCount(resolution, "Type/Properties/Unite_Fonctionnelle/Type", found), 3); // three types
    EXPECT_EQ(found, 5);
    EXPECT_EQ(stepsToCount(resolution, "Properties/BaseQuantities/NetVolume", found), 5); // five elements
    EXPECT_EQ(found, 2);
}

} // namespace
