#include "FileSizeLimit.h"
#include "HostModels.h"
#include "LogCapture.h"
#include "ModalAnswer.h"
#include "Sheet.h"
#include "TestFiles.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/Xlsx/XlsxDocument.h"

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
    QTemporaryDir dir;
    const QString path = dir.filePath("types.xlsx");
    XlsxDocument document(path);
    const QString text = QStringLiteral("Béton armé — 20 cm ✓");
    EXPECT_TRUE(document.write(1, 1, 42));
    EXPECT_TRUE(document.write(1, 2, 2.5));
    EXPECT_TRUE(document.write(1, 3, true));
    EXPECT_TRUE(document.write(1, 4, QVariant::fromValue(BooleanVariant(BooleanVariant::True))));
    EXPECT_TRUE(document.write(1, 5, QVariant::fromValue(BooleanVariant(BooleanVariant::False))));
    EXPECT_TRUE(document.write(1, 6, QVariant::fromValue(BooleanVariant(BooleanVariant::Unknown))));
    EXPECT_TRUE(document.write(1, 7, text));
    EXPECT_TRUE(document.write(1, 8, QString()));
    EXPECT_TRUE(document.write(1, 9, QStringLiteral("12")));
    EXPECT_TRUE(document.write(2, 1, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(document.write(2, 2, QVariant()));
    ASSERT_TRUE(document.save()) << document.errorString().toStdString();

    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].name, "Sheet1");
    const Sheet& sheet = sheets[0];
    EXPECT_EQ(sheet.cell(1, 1).userType(), QMetaType::Double);
    EXPECT_EQ(sheet.cell(1, 1).toDouble(), 42.0);
    EXPECT_EQ(sheet.cell(1, 2).toDouble(), 2.5);
    EXPECT_EQ(sheet.cell(1, 3), QVariant(true));
    EXPECT_EQ(sheet.cell(1, 4), QVariant(true));
    EXPECT_EQ(sheet.cell(1, 5), QVariant(false));
    EXPECT_FALSE(sheet.cell(1, 6).isValid());
    EXPECT_EQ(sheet.cell(1, 7), QVariant(text));
    EXPECT_FALSE(sheet.cell(1, 8).isValid());
    // A text that looks like a number stays text.
    EXPECT_EQ(sheet.cell(1, 9), QVariant(QStringLiteral("12")));
    // Excel has no NaN: it is kept as text rather than lost.
    EXPECT_EQ(sheet.cell(2, 1).userType(), QMetaType::QString);
    EXPECT_FALSE(sheet.cell(2, 2).isValid());
}

TEST(XlsxDocument, CountsRowsAndColumnsFromOne)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("cells.xlsx");
    XlsxDocument document(path);
    EXPECT_FALSE(document.write(0, 1, 1));
    EXPECT_FALSE(document.write(1, 0, 1));
    EXPECT_FALSE(document.write(XlsxDocument::maxRows + 1, 1, 1));
    EXPECT_FALSE(document.write(1, XlsxDocument::maxColumns + 1, 1));
    EXPECT_FALSE(document.errorString().isEmpty());
    EXPECT_TRUE(document.write(3, 2, QStringLiteral("B3")));
    EXPECT_TRUE(document.write(1, 1, QStringLiteral("A1")));
    ASSERT_TRUE(document.save());

    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].cell(1, 1), QVariant("A1"));
    EXPECT_EQ(sheets[0].cell(3, 2), QVariant("B3"));
    EXPECT_EQ(sheets[0].rows.size(), 3);
}

TEST(XlsxDocument, RowOrderedModeRefusesEarlierRows)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("ordered.xlsx");
    XlsxDocument document(path, XlsxDocument::Mode::RowOrdered);
    EXPECT_TRUE(document.write(2, 2, 1));
    EXPECT_TRUE(document.write(2, 1, 2));
    EXPECT_FALSE(document.write(1, 1, 3));
    EXPECT_TRUE(document.write(3, 1, 4));
    ASSERT_TRUE(document.save());
    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_FALSE(sheets[0].cell(1, 1).isValid());
    EXPECT_EQ(sheets[0].row(2), (QVariantList{2.0, 1.0}));
    EXPECT_EQ(sheets[0].cell(3, 1), QVariant(4.0));
}

TEST(XlsxDocument, SheetNamesAreMadeAcceptable)
{
    EXPECT_EQ(XlsxDocument::validSheetName("Lot 1/2: [kg]?*\\"), "Lot 1_2_ _kg____");
    EXPECT_EQ(XlsxDocument::validSheetName(QString(40, QLatin1Char('x'))).size(), 31);
    EXPECT_EQ(XlsxDocument::validSheetName("'quoted'"), "quoted");
    EXPECT_EQ(XlsxDocument::validSheetName(""), "Sheet");
    EXPECT_EQ(XlsxDocument::validSheetName("history"), "history_");
    // A name cut at 31 characters keeps whole characters.
    const QString emoji = QString(30, QLatin1Char('a')) + QString::fromUtf8("😀");
    EXPECT_EQ(XlsxDocument::validSheetName(emoji), QString(30, QLatin1Char('a')));

    QTemporaryDir dir;
    XlsxDocument document(dir.filePath("names.xlsx"));
    EXPECT_EQ(document.addSheet("Data"), "Data");
    // Excel compares names without case.
    EXPECT_EQ(document.addSheet("DATA"), "DATA (2)");
    EXPECT_EQ(document.addSheet(QString(31, QLatin1Char('d'))), QString(31, QLatin1Char('d')));
    EXPECT_EQ(document.addSheet(QString(31, QLatin1Char('D'))), QString(27, QLatin1Char('D')) + " (2)");
}

TEST(XlsxDocument, SaveReplacesTheFileAndLeavesNoTemporaryFile)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("out.xlsx");
    ASSERT_TRUE(writeFile(path, "not a workbook"));
    XlsxDocument document(path);
    document.write(1, 1, 1);
    ASSERT_TRUE(document.save());
    EXPECT_EQ(entries(dir.path()), QStringList{"out.xlsx"});
    EXPECT_EQ(Sheet::readWorkbook(path).size(), 1);
    // Once saved, the document takes nothing more.
    EXPECT_FALSE(document.write(1, 2, 1));
    EXPECT_FALSE(document.save());
}

TEST(XlsxDocument, DocumentNotSavedWritesNothing)
{
    QTemporaryDir dir;
    {
        XlsxDocument document(dir.filePath("never.xlsx"), XlsxDocument::Mode::RowOrdered);
        document.write(1, 1, QStringLiteral("text"));
    }
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST(XlsxDocument, FailedSaveKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.xlsx");
    ASSERT_TRUE(writeFile(path, "previous content"));
    {
        const FileSizeLimit diskFull;
        XlsxDocument document(path);
        document.write(1, 1, 1);
        EXPECT_FALSE(document.save());
        EXPECT_FALSE(document.errorString().isEmpty());
    }
    EXPECT_EQ(readFile(path), "previous content");
    EXPECT_EQ(entries(dir.path()), QStringList{"kept.xlsx"});

    XlsxDocument nowhere(dir.filePath("missing/folder/out.xlsx"));
    nowhere.write(1, 1, 1);
    EXPECT_FALSE(nowhere.save());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}

TEST(XlsxDocument, SavesThroughASymbolicLink)
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
    EXPECT_EQ(entries(dir.path()), (QStringList{"link.xlsx", "target.xlsx"}));
}

TEST(XlsxDocument, RefusesAPathThatIsNotARegularFile)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.xlsx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    XlsxDocument document(fifo);
    EXPECT_FALSE(document.write(1, 1, 1));
    EXPECT_FALSE(document.save());
    EXPECT_TRUE(document.errorString().contains("not a regular file but a FIFO")) << str(document.errorString());
    struct stat info
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"fifo.xlsx"});
}
