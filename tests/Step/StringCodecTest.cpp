// Control directives of string literals, both ways, and what a malformed
// one does to the record that holds it.
#include "StepText.h"

#include "Step/StringCodec.h"
#include "Step/Utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Step::StringCodec::decode;
using Step::StringCodec::encode;

// A malformed directive (no expected text) fails and leaves its text as it
// was.
TEST(StringCodec, DecodesEveryDirectiveAndRefusesMalformedOnes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"plain text", "plain text"},
        {"", ""},
        {"It''s", "It's"},
        {"a\\\\b", "a\\b"},
        {"gl\\S\\dnzend", "gl\xC3\xA4nzend"},             // \S\ sets the high bit: d -> 0xE4
        {"B\\S\\|roarbeit", "B\xC3\xBCroarbeit"},         // | -> 0xFC
        {"\\S\\''", "\xC2\xA7"},                          // the quote after \S\ is doubled: 0xA7
        {"\\PB\\\\S\\C", "\xC4\x82"},                     // ISO 8859-2 0xC3 is U+0102
        {"\\PE\\\\S\\P\\PA\\\\S\\P", "\xD0\xB0\xC3\x90"}, // 8859-5 then back to 8859-1
        {"\\X\\E4\\X\\0A", "\xC3\xA4\n"},
        {"\\X2\\00E400F6\\X0\\", "\xC3\xA4\xC3\xB6"},
        {"a\\X2\\00A0\\X0\\b", "a\xC2\xA0"
                               "b"}, // no-break space
        {"\\X2\\\\X0\\", ""},        // an empty run
        {"\\X4\\0001F600\\X0\\!", "\xF0\x9F\x98\x80!"},
        {"\\X2\\03A9\\X0\\\\X4\\0001F600000020AC\\X0\\", "\xCE\xA9\xF0\x9F\x98\x80\xE2\x82\xAC"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         "Gr\xC3\xBC\xC3\x9F"
         "e"},                             // raw UTF-8 is kept
        {"\xE4", "\xC3\xA4"},              // a stray 8-bit byte is Latin-1
        {"\\X2\\00E\\X0\\", nullptr},      // odd number of digits
        {"\\X2\\00E4", nullptr},           // run not closed
        {"\\X2\\00E4\\X0", nullptr},       // closing directive cut short
        {"\\X2\\D83D\\X0\\", nullptr},     // surrogate
        {"\\X2\\D83DDE00\\X0\\", nullptr}, // surrogate pair
        {"\\X4\\0000D800\\X0\\", nullptr}, // surrogate in a 4-byte run
        {"\\X4\\00110000\\X0\\", nullptr}, // beyond U+10FFFF
        {"\\X4\\0001F60\\X0\\", nullptr},  // seven digits
        {"\\X\\G1", nullptr},              // not hex
        {"\\X\\4", nullptr},               // one digit
        {"\\Q\\", nullptr},                // unknown directive
        {"\\X0\\", nullptr},               // end of a run that never started
        {"trailing\\", nullptr},           // lone backslash
        {"\\S\\", nullptr},                // \S\ without its character
        {"\\PZ\\", nullptr},               // no such code page
    };
    for (const auto& [body, expected] : cases) {
        std::string out = "previous";
        EXPECT_EQ(decode(body, out), expected != nullptr) << body;
        EXPECT_EQ(out, expected ? expected : body) << body;
    }
}

TEST(StringCodec, EncodeThenDecodeGivesBackAnyUnicodeText)
{
    std::mt19937 random(20240521);
    // Weighted towards the boundaries of each encoding.
    const std::pair<char32_t, char32_t> ranges[] = {{0x00, 0x7F},        {0x80, 0xFF},     {0x100, 0x7FF},
                                                    {0x800, 0xD7FF},     {0xE000, 0xFFFF}, {0x10000, 0x1FFFF},
                                                    {0xF0000, 0x10FFFF}, {'\'', '\''},     {'\\', '\\'}};
    std::uniform_int_distribution<std::size_t> pickRange(0, std::size(ranges) - 1);
    std::uniform_int_distribution<std::size_t> pickLength(0, 24);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const std::size_t length = pickLength(random);
        for (std::size_t i = 0; i < length; ++i) {
            const auto& [low, high] = ranges[pickRange(random)];
            std::uniform_int_distribution<std::uint32_t> pick(low, high);
            Step::Utf8::append(text, pick(random));
        }
        const std::string encoded = encode(text);
        for (char c : encoded) {
            ASSERT_TRUE(c >= 0x20 && c < 0x7F) << encoded;
        }
        std::string back;
        ASSERT_TRUE(decode(encoded, back)) << encoded;
        ASSERT_EQ(back, text) << encoded;
    }
}

// A malformed string spoils only its own value, with a warning naming its
// record; the record is written back as it was, and when it is rewritten
// for another reason (here a deleted unit) the bytes of its bad strings,
// 8-bit ones included, are kept rather than encoded a second time.
TEST(StringCodec, BadStringSpoilsOnlyItsValueAndIsWrittenBackAsItWas)
{
    const std::string first = "'Gl\\S\\dnzend',$,IFCLABEL('it''s \xE9 \\X2\\00E\\X0\\')";
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(
        ifctest::stepFile("#1=IFCPROPERTYSINGLEVALUE(" + first +
                          ",#4);\n"
                          "#2=IFCPROPERTYSINGLEVALUE('Ok\\X2\\00E4\\X0\\',$,IFCLABEL('\\X2\\D800\\X0\\'),$);\n"
                          "#3=IFCPROPERTYSINGLEVALUE('WT\\X2\\D800\\X0\\',$,IFCLABEL('\\X4\\0001F600\\X0\\'),$);\n"
                          "#4=IFCSIUNIT(*,.MASSUNIT.,$,.GRAM.);\n")));
    auto property = [&](Step::Id key) { return dynamic_cast<ifc2x3::IfcPropertySingleValue*>(dataSet.get(key)); };
    ASSERT_TRUE(property(1) && property(2) && property(3));
    EXPECT_EQ(property(1)->getName().toUtf8(), "Gl\xC3\xA4nzend");
    EXPECT_EQ(property(1)->getNominalValueValue().inner().text(), "it''s \xC3\xA9 \\X2\\00E\\X0\\");
    EXPECT_EQ(property(2)->getName().toUtf8(), "Ok\xC3\xA4");
    EXPECT_EQ(property(3)->getName().toUtf8(), "WT\\X2\\D800\\X0\\") << "read as written";
    EXPECT_EQ(property(3)->getNominalValueValue().inner().text(), "\xF0\x9F\x98\x80");
    const std::vector<std::string> warnings = dataSet.takeWarnings();
    ASSERT_EQ(warnings.size(), 3u);
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        EXPECT_NE(warnings[i].find("#" + std::to_string(i + 1)), std::string::npos) << warnings[i];
    }

    EXPECT_EQ(ifctest::recordLine(dataSet.toText(), 1), "#1=IFCPROPERTYSINGLEVALUE(" + first + ",#4);");
    ASSERT_TRUE(dataSet.remove(4));
    EXPECT_EQ(ifctest::recordLine(dataSet.toText(), 1),
              "#1=IFCPROPERTYSINGLEVALUE('Gl\\X2\\00E4\\X0\\nzend',$,IFCLABEL('it''s \xE9 \\X2\\00E\\X0\\'),$);");
    // A value set anew is encoded as usual.
    property(3)->setName("WT\\");
    EXPECT_EQ(ifctest::recordLine(dataSet.toText(), 3).rfind("#3=IFCPROPERTYSINGLEVALUE('WT\\\\',", 0), 0u);
}

} // namespace
