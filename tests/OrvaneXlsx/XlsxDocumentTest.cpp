#include "FileSizeLimit.h"
#include "ModelBuilder.h"
#include "Sheet.h"
#include "TestFiles.h"

#include "Orvane/BooleanVariant.h"
#include "OrvaneXlsx/XlsxDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;
using Orvane::BooleanVariant;
using Orvane::XlsxDocument;

namespace {

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(XlsxDocument, StoresEachValueWithItsCellType)
{
    MQ_REQUIRE_OPENPYXL();
    const QString text = QStringLiteral("Béton armé — 20 cm ✓");
    // Written, then as read back: numbers as doubles, a text that looks
    // like a number stays text, and Excel has no NaN: it is kept as text.
    const std::vector<std::pair<QVariant, QVariant>> cells = {
        {42, 42.0},
        {QVariant(), QVariant()},
        {2.5, 2.5},
        {true, true},
        {QVariant::fromValue(BooleanVariant(BooleanVariant::True)), true},
        {QVariant::fromValue(BooleanVariant(BooleanVariant::False)), false},
        {QVariant::fromValue(BooleanVariant(BooleanVariant::Unknown)), QVariant()},
        {text, text},
        {QString(), QVariant()},
        {QStringLiteral("12"), QStringLiteral("12")},
        {std::numeric_limits<double>::quiet_NaN(), QStringLiteral("nan")}};
    QTemporaryDir dir;
    XlsxDocument document(dir.filePath("types.xlsx"));
    QVariantList expected;
    for (const auto& [written, read] : cells) {
        EXPECT_TRUE(document.write(1, expected.size() + 1, written));
        expected.append(read);
    }
    // Rows and columns count from one; cells outside the sheet are refused.
    EXPECT_FALSE(document.write(0, 1, 1));
    EXPECT_FALSE(document.write(1, 0, 1));
    EXPECT_FALSE(document.write(XlsxDocument::maxRows + 1, 1, 1));
    EXPECT_FALSE(document.write(1, XlsxDocument::maxColumns + 1, 1));
    EXPECT_TRUE(document.write(3, 2, text));
    ASSERT_TRUE(document.save()) << document.errorString().toStdString();
    const QList<Sheet> sheets = Sheet::readWorkbook(dir.filePath("types.xlsx"));
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].name, "Sheet1");
    EXPECT_EQ(sheets[0].row(1), expected);
    EXPECT_EQ(sheets[0].rows.size(), 3);
    EXPECT_EQ(sheets[0].cell(3, 2), text);
    EXPECT_EQ(sheets[0].cell(1, 1).userType(), QMetaType::Double);
}

TEST(XlsxDocument, SaveReplacesTheFileWholeOrNotAtAll)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("out.xlsx");
    ASSERT_TRUE(writeFile(path, "previous content"));
    {
        XlsxDocument unsaved(path, XlsxDocument::Mode::RowOrdered);
        unsaved.write(1, 1, QStringLiteral("text"));
    }
    {
        const FileSizeLimit diskFull;
        XlsxDocument document(path);
        document.write(1, 1, 1);
        EXPECT_FALSE(document.save());
        EXPECT_FALSE(document.errorString().isEmpty());
    }
    EXPECT_EQ(readFile(path), "previous content");
    EXPECT_EQ(entries(dir.path()), QStringList{"out.xlsx"});

    XlsxDocument document(path);
    document.write(1, 1, 1);
    ASSERT_TRUE(document.save());
    EXPECT_EQ(entries(dir.path()), QStringList{"out.xlsx"});
    EXPECT_EQ(Sheet::readWorkbook(path).size(), 1);

    XlsxDocument nowhere(dir.filePath("missing/folder/out.xlsx"));
    nowhere.write(1, 1, 1);
    EXPECT_FALSE(nowhere.save());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}

TEST(XlsxDocument, SavesThroughASymbolicLinkButRefusesAFifo)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target.xlsx");
    ASSERT_TRUE(writeFile(target, "previous content"));
    ASSERT_TRUE(QFile::link("target.xlsx", dir.filePath("link.xlsx")));
    XlsxDocument document(dir.filePath("link.xlsx"));
    document.write(1, 1, 1);
    ASSERT_TRUE(document.save()) << str(document.errorString());
    EXPECT_TRUE(QFileInfo(dir.filePath("link.xlsx")).isSymLink());
    EXPECT_TRUE(readFile(target).startsWith("PK")) << "the file linked to holds the workbook";

    const QString fifo = dir.filePath("fifo.xlsx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    XlsxDocument refused(fifo);
    EXPECT_FALSE(refused.write(1, 1, 1));
    EXPECT_FALSE(refused.save());
    EXPECT_TRUE(refused.errorString().contains("not a regular file but a FIFO")) << str(refused.errorString());
    EXPECT_FALSE(QFileInfo(fifo).isFile()) << "still the FIFO";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"fifo.xlsx", "link.xlsx", "target.xlsx"}));
}
