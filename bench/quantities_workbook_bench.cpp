// quantities_workbook_bench: the quantities workbook (the dock's "Export PMD"
// and the batch command's --export-pmd) of a model with many materials.
//
//   quantities_workbook_bench [--materials N] [--elements N]
//
// The model is made in memory: N elements (2 by default), each of its own wall
// type whose composition shares the materials out, every material in one
// composition only. After the computation, the totals table is filled, the
// details table built and both written as one workbook; each phase's CPU
// time is printed. The details sheet has one column per material, so a model
// with more materials than a sheet has columns is refused before any cell
// is written.
#include "BenchSupport.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/QuantitiesWorkbookExport.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/FaultGuard.h"
#include "Step/TemporaryFileRegistry.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <log4cplus/logger.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

using bench::cpuSeconds;
using bench::intArgument;

namespace {

/// The data section of the model, one record a line.
class StepText
{
public:
    int add(const std::string& record)
    {
        const int key = m_next++;
        m_data += "#" + std::to_string(key) + "=" + record + ";\n";
        return key;
    }
    std::string guid() { return "'" + std::string(14, '0') + std::to_string(10000000 + m_next) + "'"; }
    std::string file() const
    {
        return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('bench.ifc','2024-01-01T00:00:00',"
               "(''),(''),'','','');\nFILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n" +
               m_data + "ENDSEC;\nEND-ISO-10303-21;\n";
    }

private:
    int m_next = 1;
    std::string m_data;
};

std::string ref(int key)
{
    return "#" + std::to_string(key);
}

int propertySet(StepText& step, const std::string& name, const std::vector<std::string>& values)
{
    std::string keys;
    for (const std::string& value : values) {
        keys += (keys.empty() ? "" : ",") + ref(step.add(value));
    }
    return step.add("IFCPROPERTYSET(" + step.guid() + ",$,'" + name + "',$,(" + keys + "))");
}

/// Walls of one type each, the materials shared out among the types.
std::string manyMaterialsModel(int materials, int elements)
{
    StepText step;
    const int length = step.add("IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.)");
    const int volume = step.add("IFCSIUNIT(*,.VOLUMEUNIT.,$,.CUBIC_METRE.)");
    const int weight = step.add("IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.)");
    const int units = step.add("IFCUNITASSIGNMENT((" + ref(length) + "," + ref(volume) + "," + ref(weight) + "))");
    const int project = step.add("IFCPROJECT(" + step.guid() + ",$,'Bench',$,$,$,$,$," + ref(units) + ")");
    const int building = step.add("IFCBUILDING(" + step.guid() + ",$,'B',$,$,$,$,$,.ELEMENT.,$,$,$)");
    step.add("IFCRELAGGREGATES(" + step.guid() + ",$,$,$," + ref(project) + ",(" + ref(building) + "))");
    std::string walls;
    for (int element = 0; element < elements; ++element) {
        const int wall = step.add("IFCWALL(" + step.guid() + ",$,'Wall " + std::to_string(element) + "',$,$,$,$,$)");
        walls += (walls.empty() ? "" : ",") + ref(wall);
        const int quantity = step.add("IFCQUANTITYVOLUME('NetVolume',$,$,2.5)");
        const int quantities =
            step.add("IFCELEMENTQUANTITY(" + step.guid() + ",$,'BaseQuantities',$,$,(" + ref(quantity) + "))");
        step.add("IFCRELDEFINESBYPROPERTIES(" + step.guid() + ",$,$,$,(" + ref(wall) + ")," + ref(quantities) + ")");
        std::vector<std::string> shares;
        for (int material = element; material < materials; material += elements) {
            shares.push_back("IFCPROPERTYSINGLEVALUE('Material " + std::to_string(material) + "',$,IFCREAL(1.),$)");
        }
        const int unit = propertySet(step, "Unite_Fonctionnelle",
                                     {"IFCPROPERTYSINGLEVALUE('Type',$,IFCLABEL('volume'),$)",
                                      "IFCPROPERTYSINGLEVALUE('Masse_par_UF',$,IFCREAL(2400.),$)"});
        const int composition = propertySet(step, "Pourcentage_PMIB", shares);
        const int type = step.add("IFCWALLTYPE(" + step.guid() + ",$,'Type " + std::to_string(element) + "',$,$,(" +
                                  ref(unit) + "," + ref(composition) + "),$,$,$,.NOTDEFINED.)");
        step.add("IFCRELDEFINESBYTYPE(" + step.guid() + ",$,$,$,(" + ref(wall) + ")," + ref(type) + ")");
    }
    step.add("IFCRELCONTAINEDINSPATIALSTRUCTURE(" + step.guid() + ",$,$,$,(" + walls + ")," + ref(building) + ")");
    return step.file();
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    QCoreApplication app(argc, argv);
    const int materials = intArgument(argc, argv, "--materials", 10000);
    const int elements = intArgument(argc, argv, "--elements", 2);

    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    QCoreApplication::setOrganizationName(QStringLiteral("quantities_workbook_bench"));
    QCoreApplication::setApplicationName(QStringLiteral("quantities_workbook_bench"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    log4cplus::Logger::getRoot().setLogLevel(log4cplus::OFF_LOG_LEVEL);

    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    if (!dataSet->openFromText(manyMaterialsModel(materials, elements))) {
        std::fprintf(stderr, "quantities_workbook_bench: the model does not read\n");
        return 1;
    }
    Orvane::_ifc2x3::IFC2x3Model model(std::move(dataSet));
    const Orvane::MaterialQuantitiesSettings settings;
    double start = cpuSeconds();
    Orvane::MaterialQuantitiesCalculator calculator(&model, settings);
    if (!calculator.computeQuantities()) {
        std::fprintf(stderr, "quantities_workbook_bench: nothing computed\n");
        return 1;
    }
    QCoreApplication::processEvents();
    std::printf("materials %d, elements %d\n", materials, elements);
    std::printf("computation     %.3f s\n", cpuSeconds() - start);

    start = cpuSeconds();
    Orvane::MaterialTotalQuantitiesModel totals;
    totals.fillFromModel(&model, settings);
    std::printf("totals table    %.3f s (%d rows)\n", cpuSeconds() - start, totals.rowCount());

    start = cpuSeconds();
    Orvane::MaterialQuantitiesProxyModel details(settings.totalQuantitiesPropertySetName);
    details.setQuantitiesPropPathMap(calculator.getQuantitiesPropPathMap());
    details.setSourceModel(&model);
    std::printf("details table   %.3f s (%d columns)\n", cpuSeconds() - start, details.columnCount());

    start = cpuSeconds();
    QString error;
    const bool written =
        Orvane::QuantitiesWorkbookExport::exportQuantities(&totals, &details, dir.filePath("pmd.xlsx"), &error);
    std::printf("workbook        %.3f s (%s)\n", cpuSeconds() - start, written ? "written" : qPrintable(error));
    return written ? 0 : 1;
}
