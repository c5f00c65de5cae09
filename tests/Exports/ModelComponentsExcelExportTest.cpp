#include "FileSizeLimit.h"
#include "HostModels.h"
#include "LogCapture.h"
#include "ModalAnswer.h"
#include "Sheet.h"
#include "TestFiles.h"

#include "MaterialQuantitiesCalculator.h"
#include "MaterialQuantitiesSettings.h"
#include "ModelComponentsExcelExport.h"

#include "Orvane/Xlsx/XlsxDocument.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <log4cplus/loglevel.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace testsupport;
using Orvane::ModelComponentsExcelExport;

namespace {

class ComponentsExport : public ::testing::Test
{
protected:
    QString output() const { return dir.filePath("Export_par_type.xlsx"); }

    /// Writes the template and points the exporter at it.
    void useTemplate(const QByteArray& content)
    {
        const QString path = dir.filePath("template.txt");
        ASSERT_TRUE(writeFile(path, content));
        exporter.setTemplateFile(path);
    }

    /// The properties of the default template's first two columns.
    int unitSet(const QString& unit, const std::string& massPerUnit)
    {
        return step.propertySet("Unite_Fonctionnelle",
                                {{"Type", "IFCLABEL(" + str(unit) + ")"}, {"Masse_par_UF", massPerUnit}});
    }

    QTemporaryDir dir;
    ModelBuilder step{ModelBuilder::Metres, QStringLiteral("Projet")};
    ModelComponentsExcelExport exporter;
};

} // namespace

TEST_F(ComponentsExport, HeaderRowHoldsEachTemplateLine)
{
    MQ_REQUIRE_OPENPYXL();
    useTemplate("Fields/Name\nProperties/Unite_Fonctionnelle/Type\n");
    const auto model = step.open();
    ASSERT_TRUE(model);
    // No element type at all: the header row alone, and a success.
    EXPECT_TRUE(exporter.exportComponents(model.get(), output()));
    EXPECT_TRUE(exporter.getErrorText().isEmpty());
    EXPECT_TRUE(exporter.isWritten());

    const QList<Sheet> sheets = Sheet::readWorkbook(output());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].rows, (QList<QVariantList>{{"Fields/Name", "Properties/Unite_Fonctionnelle/Type"}}));
}

TEST_F(ComponentsExport, WindowsLineEndsAndByteOrderMarkAreNotPartOfThePaths)
{
    MQ_REQUIRE_OPENPYXL();
    useTemplate("\xEF\xBB\xBF"
                "Fields/Name\r\nProperties/Unite_Fonctionnelle/Masse_par_UF\r\n");
    step.type("IFCWALLTYPE", "Mur", {unitSet("volume", "IFCMASSMEASURE(2400.)")});
    const auto model = step.open();
    ASSERT_TRUE(model);
    EXPECT_TRUE(exporter.exportComponents(model.get(), output())) << exporter.getErrorText().toStdString();
    const QList<Sheet> sheets = Sheet::readWorkbook(output());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].rows,
              (QList<QVariantList>{{"Fields/Name", "Properties/Unite_Fonctionnelle/Masse_par_UF"}, {"Mur", 2400.0}}));
}

TEST_F(ComponentsExport, DoubledSlashKeepsItsEmptyComponent)
{
    MQ_REQUIRE_OPENPYXL();
    useTemplate("Fields/Name\nProperties//Type\n");
    step.type("IFCWALLTYPE", "Mur A", {unitSet("volume", "IFCMASSMEASURE(2400.)")});
    const auto model = step.open();
    ASSERT_TRUE(model);
    EXPECT_FALSE(exporter.exportComponents(model.get(), output()));
    EXPECT_EQ(exporter.getErrorText(), "Invalid property Properties//Type for object Mur A\n");

    const QList<Sheet> sheets = Sheet::readWorkbook(output());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].row(1), (QVariantList{"Fields/Name", "Properties//Type"}));
    EXPECT_EQ(sheets[0].cell(2, 1), QVariant("Mur A"));
    EXPECT_FALSE(sheets[0].cell(2, 2).isValid());
}

TEST_F(ComponentsExport, SpaceTypesTakeNoRow)
{
    MQ_REQUIRE_OPENPYXL();
    useTemplate("Fields/Name\n");
    step.type("IFCWALLTYPE", "Mur A");
    step.type("IFCSPACETYPE", "Bureau");
    step.type("IFCWALLTYPE", "Mur B");
    step.type("IFCWALLTYPE", "Mur C");
    const auto model = step.open();
    ASSERT_TRUE(model);
    EXPECT_TRUE(exporter.exportComponents(model.get(), output()));

    const QList<Sheet> sheets = Sheet::readWorkbook(output());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].rows, (QList<QVariantList>{{"Fields/Name"}, {"Mur A"}, {"Mur B"}, {"Mur C"}}));
}

TEST_F(ComponentsExport, MissingPropertyLeavesAnEmptyCellAndOneErrorLine)
{
    MQ_REQUIRE_OPENPYXL();
    useTemplate("Fields/Name\nProperties/Unite_Fonctionnelle/Masse_par_UF\nProperties/Unite_Fonctionnelle/Type\n");
    step.type("IFCWALLTYPE", "Mur béton", {unitSet("volume", "IFCMASSMEASURE(2400.)")});
    step.type("IFCSLABTYPE", "Dalle sans masse",
              {step.propertySet("Unite_Fonctionnelle", {{"Type", "IFCLABEL('surface')"}})});
    const auto model = step.open();
    ASSERT_TRUE(model);
    LogCapture log("Plugins.Tools.MaterialQuantities");
    EXPECT_FALSE(exporter.exportComponents(model.get(), output()));
    const QString expected =
        QString::fromUtf8("Invalid property Properties/Unite_Fonctionnelle/Masse_par_UF for object Dalle sans masse\n");
    EXPECT_EQ(exporter.getErrorText(), expected);
    // Still written, with the other cells of the row.
    EXPECT_TRUE(exporter.isWritten());
    const QList<Sheet> sheets = Sheet::readWorkbook(output());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].row(2), (QVariantList{"Mur béton", 2400.0, "volume"}));
    EXPECT_EQ(sheets[0].row(3), (QVariantList{"Dalle sans masse", QVariant(), "surface"}));

    const std::vector<LogRecord> records = log.records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, log4cplus::WARN_LOG_LEVEL);
    EXPECT_EQ(records[0].message, expected.toStdString());
}

TEST_F(ComponentsExport, ValuesKeepTheirCellTypes)
{
    MQ_REQUIRE_OPENPYXL();
    useTemplate("Properties/P/Count\nProperties/P/Mass\nProperties/P/Bearing\nProperties/P/Unknown\nProperties/P/Note");
    step.type("IFCWALLTYPE", "Mur",
              {step.propertySet("P", {{"Count", "IFCINTEGER(3)"},
                                      {"Mass", "IFCMASSMEASURE(12.5)"},
                                      {"Bearing", "IFCBOOLEAN(.T.)"},
                                      {"Unknown", "IFCLOGICAL(.U.)"},
                                      {"Note", "IFCTEXT(" + str("Réemploi à vérifier") + ")"}})});
    const auto model = step.open();
    ASSERT_TRUE(model);
    EXPECT_TRUE(exporter.exportComponents(model.get(), output())) << exporter.getErrorText().toStdString();
    const QList<Sheet> sheets = Sheet::readWorkbook(output());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].row(2), (QVariantList{3.0, 12.5, true, QVariant(), "Réemploi à vérifier"}));
    EXPECT_EQ(sheets[0].cell(2, 1).userType(), QMetaType::Double);
    EXPECT_EQ(sheets[0].cell(2, 3).userType(), QMetaType::Bool);
}

TEST_F(ComponentsExport, TemplateFailureKeepsThePreviousFile)
{
    ASSERT_TRUE(writeFile(output(), "previous export"));
    step.type("IFCWALLTYPE", "Mur");
    const auto model = step.open();
    ASSERT_TRUE(model);

    exporter.setTemplateFile(dir.filePath("missing.txt"));
    EXPECT_FALSE(exporter.exportComponents(model.get(), output()));
    EXPECT_EQ(exporter.getErrorText(), "Invalid template properties files");
    EXPECT_FALSE(exporter.isWritten());
    EXPECT_EQ(readFile(output()), "previous export");

    useTemplate("");
    EXPECT_FALSE(exporter.exportComponents(model.get(), output()));
    EXPECT_EQ(exporter.getErrorText(), "Invalid template properties files");
    EXPECT_EQ(readFile(output()), "previous export");

    // Nothing is written over the old file when no file can be written.
    useTemplate("Fields/Name\n");
    {
        const FileSizeLimit diskFull;
        EXPECT_FALSE(exporter.exportComponents(model.get(), output()));
    }
    EXPECT_FALSE(exporter.isWritten());
    EXPECT_FALSE(exporter.getErrorText().isEmpty());
    EXPECT_EQ(readFile(output()), "previous export");
}

TEST_F(ComponentsExport, UnusableTemplatesAreRefusedWithTheirReason)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.txt")).constData(), 0644), 0);
    QByteArray tooLong;
    for (int line = 0; line <= Orvane::XlsxDocument::maxColumns; ++line) {
        tooLong += "Fields/Name\n";
    }
    ASSERT_TRUE(writeFile(dir.filePath("long.txt"), tooLong));
    ASSERT_TRUE(writeFile(dir.filePath("empty.txt"), ""));
    const struct
    {
        const char* file;
        const char* reason;
    } cases[] = {{"missing.txt", "No such file"},
                 {"fifo.txt", "not a regular file but a FIFO"},
                 {"empty.txt", "holds no line"},
                 {"long.txt", "16385 lines, more than the 16384 columns"}};
    step.type("IFCWALLTYPE", "Mur");
    const auto model = step.open();
    ASSERT_TRUE(model);
    for (const auto& c : cases) {
        QString reason;
        EXPECT_TRUE(ModelComponentsExcelExport::readTemplate(dir.filePath(c.file), &reason).isEmpty()) << c.file;
        EXPECT_TRUE(reason.contains(c.reason)) << str(reason);
        exporter.setTemplateFile(dir.filePath(c.file));
        EXPECT_FALSE(exporter.exportComponents(model.get(), output())) << c.file;
        EXPECT_EQ(exporter.getErrorText(), "Invalid template properties files");
        EXPECT_FALSE(QFileInfo::exists(output()));
    }
}

TEST_F(ComponentsExport, ShippedTemplateOnTheSampleModel)
{
    MQ_REQUIRE_OPENPYXL();
    const QString sample = QStringLiteral(MQ_SOURCE_DIR "/samples/small-building.ifc");
    if (!QFileInfo::exists(sample)) {
        GTEST_SKIP() << "no sample model";
    }
    QString message;
    auto model = Orvane::_ifc2x3::IFC2x3Model::open(sample, &message);
    ASSERT_TRUE(model) << message.toStdString();
    Orvane::MaterialQuantitiesCalculator calculator(model.get(), Orvane::MaterialQuantitiesSettings());
    ASSERT_TRUE(calculator.computeQuantities());

    ModelComponentsExcelExport shipped;
    ASSERT_FALSE(shipped.getTemplateFile().isEmpty());
    shipped.exportComponents(model.get(), output());
    ASSERT_TRUE(shipped.isWritten()) << shipped.getErrorText().toStdString();

    QFile templateFile(shipped.getTemplateFile());
    ASSERT_TRUE(templateFile.open(QIODevice::ReadOnly | QIODevice::Text));
    QVariantList header;
    for (const QString& line : QString::fromUtf8(templateFile.readAll()).split('\n', Qt::SkipEmptyParts)) {
        header.append(line);
    }
    int types = 0;
    for (const auto& type : model->dataSet()->getAllIfcTypeObject()) {
        types += type->isOfType(ifc2x3::IfcSpaceType::getClassType()) ? 0 : 1;
    }
    const QList<Sheet> sheets = Sheet::readWorkbook(output());
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].row(1), header);
    EXPECT_EQ(sheets[0].rows.size(), types + 1);
    // The computation's per-type results reach the workbook as numbers.
    const int instances = header.indexOf("Properties/TotalMaterialQuantities/Instances") + 1;
    const int weight = header.indexOf("Properties/TotalMaterialQuantities/TotalWeight") + 1;
    int typesWithResults = 0;
    for (int row = 2; row <= sheets[0].rows.size(); ++row) {
        if (sheets[0].cell(row, instances).isValid()) {
            EXPECT_EQ(sheets[0].cell(row, instances).userType(), QMetaType::Double);
            if (sheets[0].cell(row, weight).isValid()) {
                EXPECT_EQ(sheets[0].cell(row, weight).userType(), QMetaType::Double);
                ++typesWithResults;
            }
        }
    }
    EXPECT_GT(typesWithResults, 0);
}
