// A large file is indexed by two threads, one per half of its data
// section. Wherever the second half is guessed to start (inside a string,
// a comment, a record, or right at one), the records, names and errors
// must be those of one scan from the start.
#include "StepText.h"

#include "Step/SPFIndexer.h"
#include "ifc2x3/Schema.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

namespace {

struct Scan
{
    bool read = false;
    std::vector<Step::RecordLocation> records;
    std::vector<std::string> unknownNames;
    std::string error;
    std::size_t errorOffset = 0;
    std::uint64_t dataEnd = 0;
    bool inTwo = false;
};

std::string describe(const Scan& scan)
{
    std::ostringstream out;
    out << (scan.read ? "read" : "failed: " + scan.error + " at " + std::to_string(scan.errorOffset)) << ", end "
        << scan.dataEnd << ", unknown";
    for (const std::string& name : scan.unknownNames) {
        out << ' ' << name;
    }
    out << ", records";
    for (const Step::RecordLocation& r : scan.records) {
        out << " #" << r.key << '@' << r.offset << '+' << r.length << '/' << r.argumentsOffset << ':' << r.typeId;
    }
    return out.str();
}

/// splitFrom: where the second half is looked for; npos for one thread.
Scan index(const std::string& text, std::size_t splitFrom)
{
    Step::SPFIndexer indexer(text, ifc2x3::schema());
    indexer.setSplitThreshold(splitFrom == std::string::npos ? 0 : 1);
    indexer.setSplitSearchFrom(splitFrom);
    Scan scan;
    indexer.setRecordSink(
        [](void* context, const Step::RecordLocation& r) { static_cast<Scan*>(context)->records.push_back(r); }, &scan);
    scan.read = indexer.run();
    scan.unknownNames = indexer.unknownEntityNames();
    scan.error = indexer.error();
    scan.errorOffset = indexer.errorOffset();
    scan.dataEnd = indexer.dataEnd();
    scan.inTwo = indexer.readInTwo();
    return scan;
}

struct SplitCase
{
    const char* name;
    std::string data;
};

// Each text holds lines that look like record starts where no record
// starts, and names the schema does not know on both sides of its middle.
const SplitCase splitCases[] = {
    {"StringsCommentsAndComplexInstances",
     "#1=IFCPROPERTYSINGLEVALUE('Note','first line\n#2=IFCWALL(this is text);\nlast line',$,$);\n"
     "#3=IFCOWNTHING('a');\n"
     "/* a comment\n#4=IFCWALL($);\n*/\n"
     "#5=(IFCNAMEDUNIT(*,.LENGTHUNIT.)IFCSIUNIT(*,*,.MILLI.,.METRE.));\n"
     "#6 = IFCCARTESIANPOINT ( (0.,0.,0.) ) ;\n"
     "#7=IFCOWNTHING('b');\n"
     "#8=IFCPROPERTYSINGLEVALUE('it''s',$,IFCLABEL('\n#9=x;'),$);\n"
     "#10=IFCOTHERTHING(#7,'c');\n"
     "#11=IFCCARTESIANPOINT((1.,2.,3.));\n"},
    {"AStringHoldingAWholeEnd",
     "#1=IFCCARTESIANPOINT((0.,0.,0.));\n"
     "#2=IFCPROPERTYSINGLEVALUE('copy:\n#3=IFCCARTESIANPOINT((9.,9.,9.));\nENDSEC;\nEND-ISO-10303-21;\n',$,$,$);\n"
     "#4=IFCCARTESIANPOINT((1.,0.,0.));\n"},
    {"CarriageReturns",
     "#1=IFCCARTESIANPOINT((0.,0.,0.));\r\n#2=IFCCARTESIANPOINT((1.,0.,0.));\r\n"
     "#3=IFCPROPERTYSINGLEVALUE('x\r\n#4=IFCWALL();',$,$,$);\r\n#5=IFCCARTESIANPOINT((2.,0.,0.));\r\n"},
    {"ErrorInTheFirstHalf", "#1=IFCCARTESIANPOINT((0.,0.,0.));\n#2=IFCCARTESIANPOINT((0.,0.,0.);\n"
                            "#3=IFCCARTESIANPOINT((1.,0.,0.));\n#4=IFCCARTESIANPOINT((2.,0.,0.));\n"
                            "#5=IFCCARTESIANPOINT((3.,0.,0.));\n#6=IFCCARTESIANPOINT((4.,0.,0.));\n"},
    {"ErrorInTheSecondHalf", "#1=IFCCARTESIANPOINT((0.,0.,0.));\n#2=IFCCARTESIANPOINT((1.,0.,0.));\n"
                             "#3=IFCCARTESIANPOINT((2.,0.,0.));\n#4=IFCCARTESIANPOINT((3.,0.,0.));\n"
                             "#5 IFCCARTESIANPOINT((4.,0.,0.));\n#6=IFCCARTESIANPOINT((5.,0.,0.));\n"},
    {"StringLeftOpen", "#1=IFCCARTESIANPOINT((0.,0.,0.));\n#2=IFCPROPERTYSINGLEVALUE('open,$,$,$);\n"
                       "#3=IFCCARTESIANPOINT((1.,0.,0.));\n#4=IFCPROPERTYSINGLEVALUE('a',$,$,$);\n"},
    {"CommentLeftOpen", "#1=IFCCARTESIANPOINT((0.,0.,0.));\n#2=IFCCARTESIANPOINT((1.,0.,0.));\n/* open\n"
                        "#3=IFCCARTESIANPOINT((1.,0.,0.));\n"},
};

class SplitIndexTest : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitIndexTest, EverySplitGivesWhatOneScanGives)
{
    const std::string text = ifctest::stepFile(GetParam().data);
    const Scan whole = index(text, std::string::npos);
    const std::string expected = describe(whole);
    std::size_t inTwo = 0;
    for (std::size_t from = 0; from <= text.size(); ++from) {
        const Scan split = index(text, from);
        ASSERT_EQ(describe(split), expected) << "second half looked for from " << from;
        inTwo += split.inTwo;
    }
    // Where the whole text reads, the halves were read at once for most
    // guesses: the case above is not all one thread's.
    if (whole.read) {
        EXPECT_GT(inTwo, text.size() / 4);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitIndexTest, ::testing::ValuesIn(splitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

} // namespace
