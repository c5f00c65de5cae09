// suggestions_coverage: how far suggested type inputs take a model.
//
//   suggestions_coverage [--strip] [--verbose] [--library TABLE.tsv] MODEL.ifc...
//
// For each model (its type inputs removed first with --strip, as authoring
// applications export them): the building elements that get results with the
// default settings as the model is, then after accepting every suggested
// input, with the shipped material library; and the materials the library
// gives no density for. --verbose prints each type's suggestion and sources;
// --library adds the entries of a table (as the shipped one is laid out) as
// the user's own.
#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputPath.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsSuggester.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookImport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWriter.h"

#include "Orvane/CoreProperty.h"
#include "Orvane/Ifc2x3CC/PropertySetUtils.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/FaultGuard.h"
#include "Step/TemporaryFileRegistry.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <log4cplus/logger.h>

#include <cstdio>
#include <cstring>

using Orvane::MaterialQuantitiesCalculator;
using Orvane::MaterialQuantitiesSettings;

namespace {

/// Building elements whose result set holds a quantity after a computation.
int elementsWithResults(Orvane::_ifc2x3::IFC2x3Model& model, const MaterialQuantitiesSettings& settings)
{
    MaterialQuantitiesCalculator(&model, settings).computeQuantities();
    int count = 0;
    for (int row : MaterialQuantitiesCalculator::getBuildingElementRows(&model)) {
        const auto set = model.getProperty(model.index(row, 0),
                                           QStringLiteral("Properties/") + settings.totalQuantitiesPropertySetName);
        count += MaterialQuantitiesCalculator::holdsQuantities(set.get()) ? 1 : 0;
    }
    return count;
}

void stripTypeInputs(Orvane::_ifc2x3::IFC2x3Model& model, const MaterialQuantitiesSettings& settings)
{
    std::vector<ifc2x3::IfcObjectDefinition*> types;
    for (const auto& type : model.dataSet()->getAllIfcTypeObject()) {
        types.push_back(type.get());
    }
    std::vector<std::string> sets;
    for (const auto& [path, shape] :
         {std::pair(settings.functionalUnitPropertyPath, Orvane::TypeInputPath::SingleValue),
          {settings.massPerFunctionalUnitPropertyPath, Orvane::TypeInputPath::SingleValue},
          {settings.materialCompositionPropertyPath, Orvane::TypeInputPath::WholeSet},
          {settings.reusedMaterialsPropertyPath, Orvane::TypeInputPath::SingleValue}}) {
        sets.push_back(Orvane::TypeInputPath(path, shape).propertySetName().toStdString());
    }
    Orvane::Ifc2x3CC::PropertySetUtils::removePropertySets(model.editContext(), types, sets);
}

void print(const Orvane::TypeInputs& inputs, const Orvane::TypeInputsSuggestion& suggestion)
{
    QStringList shares;
    for (const Orvane::TypeInputs::Share& share :
         suggestion.composition.value_or(QVector<Orvane::TypeInputs::Share>())) {
        shares << share.material + QLatin1Char('=') + share.value.toString();
    }
    std::printf("  %s (%s, %d): unit %s [%s]; mass %s [%s]; composition %s [%s]\n", qPrintable(inputs.name),
                qPrintable(inputs.entity), inputs.instances, qPrintable(suggestion.functionalUnit.value_or("-")),
                qPrintable(suggestion.functionalUnitSource),
                suggestion.massPerFunctionalUnit ? qPrintable(QString::number(*suggestion.massPerFunctionalUnit)) : "-",
                qPrintable(suggestion.massSource), qPrintable(shares.join(QStringLiteral(", "))),
                qPrintable(suggestion.compositionSource));
}

bool measure(const QString& path, bool strip, bool verbose, const Orvane::MaterialLibrary& library)
{
    QString message;
    auto model = Orvane::_ifc2x3::IFC2x3Model::open(path, &message);
    if (!model) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(message));
        return false;
    }
    const MaterialQuantitiesSettings settings = MaterialQuantitiesSettings::defaults();
    if (strip) {
        stripTypeInputs(*model, settings);
    }
    const int elements = MaterialQuantitiesCalculator::getBuildingElementRows(model.get()).size();
    const int before = elementsWithResults(*model, settings);

    const Orvane::TypeInputsTable table = Orvane::TypeInputsReader(model.get(), settings).read();
    const auto suggestions = Orvane::TypeInputsSuggester(model.get(), settings, library).suggest(table);
    QVector<Orvane::TypeInputsChange> changes;
    QStringList withoutDensity;
    for (int i = 0; i < suggestions.size(); ++i) {
        const Orvane::TypeInputsSuggestion& suggestion = suggestions[i];
        if (verbose) {
            print(table.types[i], suggestion);
        }
        if (!suggestion.isEmpty()) {
            changes << suggestion.change();
        }
        for (const QString& material : suggestion.materialsWithoutDensity) {
            if (!withoutDensity.contains(material)) {
                withoutDensity << material;
            }
        }
    }
    Orvane::TypeInputsWorkbookImport::apply(changes, Orvane::TypeInputsWriter(model.get(), settings), &message);
    const Orvane::TypeInputsTable accepted = Orvane::TypeInputsReader(model.get(), settings).read();
    const int complete = int(std::count_if(accepted.types.cbegin(), accepted.types.cend(),
                                           [](const Orvane::TypeInputs& inputs) { return inputs.isComplete(); }));
    const int after = elementsWithResults(*model, settings);

    std::printf("%s%s\n", qPrintable(QFileInfo(path).fileName()), strip ? " (type inputs stripped)" : "");
    std::printf("  building elements: %d; with results before: %d; after accepting every suggestion: %d\n", elements,
                before, after);
    std::printf("  types: %d; with suggestions: %d; complete after accepting: %d\n", int(table.types.size()),
                int(changes.size()), complete);
    std::printf("  materials without a library density: %d%s%s\n", int(withoutDensity.size()),
                withoutDensity.isEmpty() ? "" : ": ", qPrintable(withoutDensity.join(QStringLiteral(", "))));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    QCoreApplication app(argc, argv);
    log4cplus::Logger::getRoot().setLogLevel(log4cplus::OFF_LOG_LEVEL);
    QString error;
    Orvane::MaterialLibrary library = Orvane::MaterialLibrary::shipped(&error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "material library: %s\n", qPrintable(error));
    }
    std::printf("shipped material library: %d entries\n", int(library.entries().size()));
    bool strip = false;
    bool verbose = false;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--strip") == 0) {
            strip = true;
            continue;
        }
        if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
            QFile table(QString::fromLocal8Bit(argv[++i]));
            table.open(QIODevice::ReadOnly);
            library.addUserEntries(Orvane::MaterialLibrary::parse(QString::fromUtf8(table.readAll())).entries());
            std::printf("with %d entries of %s\n", int(library.entries().size()), qPrintable(table.fileName()));
            continue;
        }
        if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
            continue;
        }
        failures += measure(QString::fromLocal8Bit(argv[i]), strip, verbose, library) ? 0 : 1;
    }
    return failures == 0 && argc > 1 ? 0 : 1;
}
