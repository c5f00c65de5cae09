#include "HostModels.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/ModelComponentsExcelExport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;
using Orvane::ModelComponentsExcelExport;

namespace {

QString templateWith(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.filePath("template.txt");
    EXPECT_TRUE(writeFile(path, content));
    return path;
}

} // namespace

TEST(ComponentsTemplate, ALineTooLongForAPathIsRefusedQuotingItsStartAndLength)
{
    QTemporaryDir dir;
    const QByteArray longest(ModelComponentsExcelExport::maxLineLength, 'p');
    const struct
    {
        const char* what;
        QByteArray content;
        QString reason; // empty: read
    } cases[] = {
        {"longest path, Windows line end", "Fields/Name\r\n" + longest + "\r\n", ""},
        {"one byte more", "Fields/Name\n" + longest + "p\n", "line 2 of the template"},
        {"20 MB on the last line, no line end", "Fields/Name\n" + QByteArray(20 << 20, 'x'),
         "is 20971520 bytes long, more than the 4096"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString reason;
        const QList<QStringList> paths =
            ModelComponentsExcelExport::readTemplate(templateWith(dir, c.content), &reason);
        if (c.reason.isEmpty()) {
            ASSERT_EQ(paths.size(), 2) << reason.toStdString();
            EXPECT_EQ(paths.at(1).constFirst().size(), ModelComponentsExcelExport::maxLineLength);
            continue;
        }
        EXPECT_TRUE(paths.isEmpty());
        EXPECT_TRUE(reason.contains(c.reason)) << reason.toStdString();
        EXPECT_LT(reason.size(), 400) << "the line is quoted shortened";
    }
}

TEST(ComponentsTemplate, APathMissingOnSeveralTypesIsReportedOnceShortened)
{
    ModelBuilder step;
    step.type("IFCWALLTYPE", "Mur");
    step.type("IFCSLABTYPE", "Dalle");
    const auto model = step.open();
    ASSERT_TRUE(model);
    QTemporaryDir dir;
    const QString missing = "Properties/" + QString(2000, 'm');
    ModelComponentsExcelExport exporter;
    exporter.setTemplateFile(templateWith(dir, "Fields/Name\n" + missing.toUtf8() + "\n"));

    EXPECT_FALSE(exporter.exportComponents(model.get(), dir.filePath("c.xlsx")));
    EXPECT_EQ(exporter.getErrorText(),
              "Invalid property " + missing.left(80) + "… (2011 characters) for objects Mur, Dalle\n");
    EXPECT_TRUE(exporter.isWritten());
}
