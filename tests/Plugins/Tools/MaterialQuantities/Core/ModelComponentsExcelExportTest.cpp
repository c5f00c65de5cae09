#include "HostModels.h"
#include "LogCapture.h"
#include "Sheet.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/ModelComponentsExcelExport.h"

#include "OrvaneXlsx/XlsxDocument.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace testsupport;
using Orvane::ModelComponentsExcelExport;

namespace {

/// Three types, of which the space type takes no row: a wall with every
/// property the templates ask for, and a slab without mass per unit.
class ComponentsExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto values = [this] {
            return step.propertySet("P", {{"Count", "IFCINTEGER(3)"},
                                          {"Mass", "IFCMASSMEASURE(12.5)"},
                                          {"Bearing", "IFCBOOLEAN(.T.)"},
                                          {"Unknown", "IFCLOGICAL(.U.)"},
                                          {"Note", "IFCTEXT(" + str("Réemploi à vérifier") + ")"}});
        };
        step.type("IFCWALLTYPE", "Mur béton",
                  {step.propertySet("Unite_Fonctionnelle", {{"Type", label("volume")}, {"Masse_par_UF", mass(2400)}}),
                   values()});
        step.type("IFCSPACETYPE", "Bureau");
        step.type("IFCSLABTYPE", "Dalle sans masse",
                  {step.propertySet("Unite_Fonctionnelle", {{"Type", label("surface")}}), values()});
        model = step.open();
        ASSERT_TRUE(model);
    }

    QString output() const { return dir.filePath("Export_par_type.xlsx"); }
    /// Writes the template and points the exporter at it.
    void useTemplate(const QByteArray& content)
    {
        ASSERT_TRUE(writeFile(dir.filePath("template.txt"), content));
        exporter.setTemplateFile(dir.filePath("template.txt"));
    }

    QTemporaryDir dir;
    ModelBuilder step{ModelBuilder::Metres, QStringLiteral("Projet")};
    std::unique_ptr<IFC2x3Model> model;
    ModelComponentsExcelExport exporter;
};

TEST_F(ComponentsExport, OneColumnPerTemplateLineAndOneRowPerType)
{
    MQ_REQUIRE_OPENPYXL();
    const QString invalidMass =
        "Invalid property Properties/Unite_Fonctionnelle/Masse_par_UF for object Dalle sans masse\n";
    const struct
    {
        const char* what;
        QByteArray lines;
        QList<QVariantList> rows;
        QString error; // empty: a success
    } cases[] = {
        {"a line per column",
         "Fields/Name\nProperties/Unite_Fonctionnelle/Type\n",
         {{"Fields/Name", "Properties/Unite_Fonctionnelle/Type"},
          {"Mur béton", "volume"},
          {"Dalle sans masse", "surface"}},
         ""},
        // Windows line ends and byte order mark are no part of the paths;
        // a missing property leaves its cell empty.
        {"missing property",
         "\xEF\xBB\xBF"
         "Fields/Name\r\nProperties/Unite_Fonctionnelle/Masse_par_UF\r\n",
         {{"Fields/Name", "Properties/Unite_Fonctionnelle/Masse_par_UF"},
          {"Mur béton", 2400.0},
          {"Dalle sans masse", QVariant()}},
         invalidMass},
        {"doubled slash",
         "Fields/Name\nProperties//Type\n",
         {{"Fields/Name", "Properties//Type"}, {"Mur béton", QVariant()}, {"Dalle sans masse", QVariant()}},
         "Invalid property Properties//Type for objects Mur béton, Dalle sans masse\n"},
        {"cell types",
         "Properties/P/Count\nProperties/P/Mass\nProperties/P/Bearing\nProperties/P/Unknown\nProperties/P/Note",
         {{"Properties/P/Count", "Properties/P/Mass", "Properties/P/Bearing", "Properties/P/Unknown",
           "Properties/P/Note"},
          {3.0, 12.5, true, QVariant(), "Réemploi à vérifier"},
          {3.0, 12.5, true, QVariant(), "Réemploi à vérifier"}},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        useTemplate(c.lines);
        LogCapture log("Plugins.Tools.MaterialQuantities");
        EXPECT_EQ(exporter.exportComponents(model.get(), output()), c.error.isEmpty());
        EXPECT_EQ(exporter.getErrorText(), c.error);
        EXPECT_TRUE(exporter.isWritten());
        const QList<Sheet> sheets = Sheet::readWorkbook(output());
        ASSERT_EQ(sheets.size(), 1);
        EXPECT_EQ(sheets[0].rows, c.rows);
        const std::vector<std::string> warned{warn(c.error.toStdString())};
        EXPECT_EQ(log.lines(), c.error.isEmpty() ? std::vector<std::string>() : warned);
    }
}

TEST_F(ComponentsExport, UnusableTemplatesAreRefusedWithTheirReasonAndThePreviousFileKept)
{
    ASSERT_TRUE(writeFile(output(), "previous export"));
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
    for (const auto& c : cases) {
        QString reason;
        EXPECT_TRUE(ModelComponentsExcelExport::readTemplate(dir.filePath(c.file), &reason).isEmpty()) << c.file;
        EXPECT_TRUE(reason.contains(c.reason)) << str(reason);
        exporter.setTemplateFile(dir.filePath(c.file));
        EXPECT_FALSE(exporter.exportComponents(model.get(), output())) << c.file;
        EXPECT_EQ(exporter.getErrorText(), "Invalid template properties files");
        EXPECT_FALSE(exporter.isWritten());
        EXPECT_EQ(readFile(output()), "previous export");
    }
}

} // namespace
