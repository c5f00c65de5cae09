// Text made on a second thread while a save copies the file's own: every
// piece arrives once, in order; a writer that stops, or a maker that fails,
// ends the save with a failure and leaves no thread behind.
#include "StepText.h"

#include "Step/SPFWriter.h"
#include "Step/TextPipe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <sys/resource.h>

namespace {

struct PipeCase
{
    const char* name;
    bool inBackground;
    int pieces;
    int refusedPiece; // the piece the writer refuses, -1 for none
    int failingPiece; // the piece the maker fails at, -1 for none; -2 throws
};

const PipeCase pipeCases[] = {
    {"NothingInBackground", true, 0, -1, -1},  {"ManyInBackground", true, 200, -1, -1},
    {"ManyInPlace", false, 200, -1, -1},       {"WriterStopsInBackground", true, 200, 3, -1},
    {"WriterStopsInPlace", false, 200, 3, -1}, {"MakerFailsInBackground", true, 200, -1, 50},
    {"MakerFailsInPlace", false, 200, -1, 50}, {"MakerRunsOutOfMemoryInBackground", true, 200, -1, -2},
};

class TextPipeTest : public ::testing::TestWithParam<PipeCase>
{
};

TEST_P(TextPipeTest, HandsOverEveryPieceOnceInOrder)
{
    const PipeCase& c = GetParam();
    const int failsAt = c.failingPiece == -2 ? c.pieces / 2 : c.failingPiece;
    int made = 0;
    std::string expected;
    for (int i = 0; i < c.pieces && i != failsAt && i != c.refusedPiece; ++i) {
        expected += "piece " + std::to_string(i) + ";";
    }
    std::string written;
    {
        Step::TextPipe pipe(
            [&](const Step::TextPipe::Put& put) {
                for (int i = 0; i < c.pieces; ++i) {
                    if (i == failsAt) {
                        if (c.failingPiece == -2) {
                            throw std::bad_alloc();
                        }
                        return false;
                    }
                    std::string piece = "piece " + std::to_string(i) + ";";
                    ++made;
                    if (!put(piece)) {
                        return false;
                    }
                    EXPECT_TRUE(piece.empty()) << "handed back with text in it";
                }
                return true;
            },
            c.inBackground);
        int seen = 0;
        const bool drained = pipe.drainTo([&](std::string_view piece) {
            if (seen++ == c.refusedPiece) {
                return false;
            }
            written += piece;
            return true;
        });
        EXPECT_EQ(drained, c.refusedPiece < 0 && c.failingPiece == -1);
    }
    // The pipe is gone: its thread ended, whatever the outcome.
    EXPECT_EQ(written, expected);
    if (c.refusedPiece >= 0) {
        EXPECT_LE(made, c.refusedPiece + 3) << "the maker went on long after the writer stopped";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TextPipeTest, ::testing::ValuesIn(pipeCases),
                         [](const ::testing::TestParamInfo<PipeCase>& info) { return info.param.name; });

// A data set large enough for its created records to be written on a second
// thread writes them as one that writes them itself: after the file's own,
// in the order they were made, with non-ASCII names encoded.
TEST(TextPipeSave, CreatedRecordsOfALargeDataSetAreWrittenAfterTheFilesOwnInOrder)
{
    std::string data;
    for (int key = 1; key <= 70000; ++key) {
        data += "#" + std::to_string(key) + "=IFCCARTESIANPOINT((" + std::to_string(key) + ".,0.,0.));\n";
    }
    const std::string text = ifctest::stepFile(data);
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(text));
    std::string created;
    for (int i = 0; i < 150000; ++i) {
        auto* property = static_cast<ifc2x3::IfcPropertySingleValue*>(
            dataSet.create(ifc2x3::IfcPropertySingleValue::getClassType().id()));
        ASSERT_NE(property, nullptr);
        // Long enough for the records to take several pieces.
        const std::string padding(100, 'x');
        property->setName(i % 2 ? "Masse " + padding : "Masse é" + padding);
        created += "#" + std::to_string(property->getKey()) + "=IFCPROPERTYSINGLEVALUE(" +
                   (i % 2 ? "'Masse " : "'Masse \\X2\\00E9\\X0\\") + padding + "',$,$,$);\n";
    }
    const std::size_t dataEnd = text.rfind("ENDSEC;");
    EXPECT_EQ(dataSet.toText(), text.substr(0, dataEnd) + created + text.substr(dataEnd));

    // A write refused among the created records fails the save, and stops
    // the thread making them.
    ifctest::TempDir dir;
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limit = previous;
    limit.rlim_cur = std::min<rlim_t>(previous.rlim_max, text.size() + (rlim_t(1) << 20));
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::string error;
    const bool saved = dataSet.save(dir.file("model.ifc"), &error);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_TRUE(ifctest::sortedEntries(dir).empty()) << "no temporary file left";
}

} // namespace
