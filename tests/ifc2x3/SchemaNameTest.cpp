// Only IFC 2x3 files open: a schema name that merely starts as IFC2X3 is
// another schema.
#include "StepText.h"

#include <gtest/gtest.h>

namespace {

// Schema names are case-insensitive; an object identifier may follow them.
const char* const acceptedNames[] = {
    "IFC2X3", "ifc2x3", "IFC2X3_TC1", "Ifc2x3_Tc1", " IFC2X3 ", "IFC2X3 { 1 0 10303 11 1 2 3 }",
};
const char* const refusedNames[] = {
    "IFC2X3XYZ", "IFC2X3_", "IFC2X3_TC2", "IFC2X3 TC1", "IFC2X", "XIFC2X3", "IFC4", "",
};

bool opens(ifc2x3::ExpressDataSet& dataSet, const char* schemaName)
{
    return dataSet.openFromText(ifctest::stepFile("#1=IFCCARTESIANPOINT((0.,0.));\n", schemaName));
}

TEST(SchemaName, Ifc2x3AndItsCorrectedEditionOpen)
{
    for (const char* name : acceptedNames) {
        ifc2x3::ExpressDataSet dataSet;
        EXPECT_TRUE(opens(dataSet, name)) << "'" << name << "': " << dataSet.lastError().toString();
    }
}

TEST(SchemaName, OtherNamesAreRefusedAtFileSchema)
{
    for (const char* name : refusedNames) {
        ifc2x3::ExpressDataSet dataSet;
        EXPECT_FALSE(opens(dataSet, name)) << "'" << name << "'";
        EXPECT_NE(dataSet.lastError().message.find("unsupported schema"), std::string::npos) << "'" << name << "'";
        EXPECT_EQ(dataSet.lastError().line, 5u) << "'" << name << "'";
    }
}

} // namespace
