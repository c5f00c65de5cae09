#include "ComputeCommand.h"

#include "CommandFiles.h"
#include "ProgressReporter.h"
#include "ResultSummary.h"
#include "SettingsFile.h"

#include "Plugins/Tools/MaterialQuantities/Core/InventoryWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialInventory.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculatorThread.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/ModelComponentsExcelExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/QuantitiesWorkbookExport.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/RegularFile.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>

#include <memory>
#include <optional>

#include <sys/resource.h>

namespace {

void explainFailure(const Orvane::MaterialQuantitiesSettings& settings,
                    const Orvane::MaterialQuantitiesCalculator::InputCounts& counts, QTextStream& out)
{
    const auto found = [&](int elements) {
        return QStringLiteral(" (found on %1 of %2 building elements)\n").arg(elements).arg(counts.elements);
    };
    out << "\nMaterial quantities computation found no quantity; the model is left as it was read. Check that:\n"
        << "  - the functional unit (volume, area, length) property exists [" << settings.functionalUnitPropertyPath
        << "]" << found(counts.functionalUnit) << "  - the mass per functional unit property exists ["
        << settings.massPerFunctionalUnitPropertyPath << "]" << found(counts.massPerFunctionalUnit)
        << "  - the material composition property exists [" << settings.materialCompositionPropertyPath << "]"
        << found(counts.materialComposition) << "  - a base quantity linked to the functional unit exists (volume: "
        << settings.volumeQuantitiesPropPaths.join(QStringLiteral(", "))
        << "; area: " << settings.areaQuantitiesPropPaths.join(QStringLiteral(", "))
        << "; length: " << settings.lengthQuantitiesPropPaths.join(QStringLiteral(", ")) << ")"
        << found(counts.functionalUnitValue)
        << "Property paths are read from the settings group \"Tool/MaterialQuantities\" (see --settings).\n";
}

} // namespace

namespace {

/// CPU time of the whole process: on a busy machine it tells the cost of
/// a phase better than the clock.
qint64 processCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return static_cast<qint64>(t.tv_sec) * 1000 + t.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

ComputeCommand::ComputeCommand(Options options) : m_options(std::move(options)) {}

ComputeCommand::~ComputeCommand() = default;

int ComputeCommand::run(QTextStream& out, QTextStream& err)
{
    QElapsedTimer clock;
    clock.start();
    if (const std::optional<ExitStatus> refusal = checkFiles(err)) {
        return *refusal;
    }
    QString problem;
    const std::unique_ptr<Orvane::MaterialQuantitiesSettings> settings =
        SettingsFile::materialQuantitiesSettings(m_options.settingsFile, &problem);
    if (!settings) {
        err << "material-quantities: " << problem << "\n";
        return BadInput;
    }
    QString error;
    m_model = Orvane::_ifc2x3::IFC2x3Model::open(m_options.input, &error);
    std::unique_ptr<Orvane::_ifc2x3::IFC2x3Model>& model = m_model;
    if (!model) {
        err << "material-quantities: " << error << "\n";
        return BadInput;
    }
    const qint64 openMs = clock.elapsed();

    ProgressReporter progress(Orvane::MaterialQuantitiesCalculator::progressSteps(model.get()));
    bool succeeded = false;
    QMap<int, QString> pathMap;
    QEventLoop loop;
    Orvane::MaterialQuantitiesCalculatorThread thread(model.get(), *settings, nullptr);
    if (progress.enabled()) {
        // Counted on the worker thread: no event per element.
        QObject::connect(&thread, &Orvane::MaterialQuantitiesCalculatorThread::calculatedItem, &progress,
                         &ProgressReporter::step, Qt::DirectConnection);
    }
    QObject::connect(&thread, &Orvane::MaterialQuantitiesCalculatorThread::calculationSucceeded,
                     [&](const QMap<int, QString>& map) {
                         succeeded = true;
                         pathMap = map;
                     });
    QObject::connect(&thread, &QThread::finished, &loop, &QEventLoop::quit);
    QElapsedTimer computeClock;
    computeClock.start();
    const qint64 computeCpuStart = processCpuMs();
    thread.start();
    loop.exec();
    thread.wait();
    QCoreApplication::processEvents();
    const qint64 computeMs = computeClock.elapsed();
    const qint64 computeCpuMs = processCpuMs() - computeCpuStart;
    if (model->dataSet()->instanceNumbersExhausted()) {
        err << "material-quantities: no instance number left: the results cannot be stored in the model; '"
            << m_options.output << "' is not written\n";
        return CannotWrite;
    }

    QElapsedTimer saveClock;
    saveClock.start();
    if (!model->save(m_options.output, &error)) {
        err << "material-quantities: " << error << "\n";
        if (model->fileReplaced(m_options.output)) {
            err << "material-quantities: the results are not saved; run the command again on the new file\n";
        }
        return CannotWrite;
    }
    const qint64 saveMs = saveClock.elapsed();

    out << "Model:                         " << m_options.input << "\n";
    out << "Saved to:                      " << m_options.output << "\n";
    ResultSummary(model.get(), *settings, succeeded ? thread.rowsHoldingQuantities() : std::vector<int>()).print(out);
    if (!succeeded) {
        explainFailure(*settings, thread.inputCounts(), out);
    }
    const bool workbooksWritten = writeWorkbooks(model.get(), *settings, pathMap, out, err);
    out << "\nTime: open " << openMs << " ms, computation " << computeMs << " ms (" << computeCpuMs
        << " ms of CPU), save " << saveMs << " ms, total " << clock.elapsed() << " ms\n";
    if (!workbooksWritten) {
        return CannotWrite;
    }
    return succeeded ? Computed : NothingFound;
}

std::optional<ComputeCommand::ExitStatus> ComputeCommand::checkFiles(QTextStream& err) const
{
    if (!CommandFiles::passes(Step::RegularFile::checkReadable, m_options.input, err) ||
        (!m_options.settingsFile.isEmpty() &&
         !CommandFiles::passes(Step::RegularFile::checkReadable, m_options.settingsFile, err))) {
        return BadInput;
    }
    QString componentsTemplate;
    if (!m_options.componentsWorkbook.isEmpty()) {
        componentsTemplate = componentsTemplateFile();
        QString reason;
        if (Orvane::ModelComponentsExcelExport::readTemplate(componentsTemplate, &reason).isEmpty()) {
            err << "material-quantities: usage error: " << reason << "\n";
            return BadInput;
        }
    }
    const QList<CommandFiles::NamedPath> paths{
        {QStringLiteral("INPUT"), m_options.input, false},
        {QStringLiteral("-o"), m_options.output, true},
        {QStringLiteral("--settings"), m_options.settingsFile, false},
        {QStringLiteral("--template"), componentsTemplate, false},
        {QStringLiteral("--export-pmd"), m_options.pmdWorkbook, true},
        {QStringLiteral("--export-components"), m_options.componentsWorkbook, true},
        {QStringLiteral("--export-inventory"), m_options.inventoryWorkbook, true}};
    if (!CommandFiles::checkCollisions(
            paths, m_options.inPlace ? CommandFiles::InPlace::Allowed : CommandFiles::InPlace::Refused, err)) {
        return BadInput;
    }
    if (!CommandFiles::checkReplaceable(paths, err)) {
        return CannotWrite;
    }
    return std::nullopt;
}

QString ComputeCommand::componentsTemplateFile() const
{
    Orvane::ModelComponentsExcelExport exporter(nullptr);
    if (!m_options.componentsTemplate.isEmpty()) {
        exporter.setTemplateFile(m_options.componentsTemplate);
    }
    return exporter.getTemplateFile();
}

bool ComputeCommand::writeWorkbooks(Orvane::_ifc2x3::IFC2x3Model* model,
                                    const Orvane::MaterialQuantitiesSettings& settings,
                                    const QMap<int, QString>& pathMap, QTextStream& out, QTextStream& err) const
{
    bool ok = true;
    if (!m_options.pmdWorkbook.isEmpty()) {
        Orvane::MaterialTotalQuantitiesModel totals;
        totals.fillFromModel(model, settings);
        Orvane::MaterialQuantitiesProxyModel details(settings.totalQuantitiesPropertySetName);
        details.setQuantitiesPropPathMap(pathMap);
        details.setSourceModel(model);
        details.setMissingReasons(Orvane::MaterialQuantitiesCalculator::reasonTexts(
            Orvane::MaterialQuantitiesCalculator(model, settings).getMissingReasons()));
        QString error;
        if (Orvane::QuantitiesWorkbookExport::exportQuantities(&totals, &details, m_options.pmdWorkbook, &error)) {
            out << "Quantities workbook:           " << m_options.pmdWorkbook << "\n";
        } else {
            CommandFiles::reportWriteFailure(m_options.pmdWorkbook, error, err);
            ok = false;
        }
    }
    if (!m_options.componentsWorkbook.isEmpty()) {
        Orvane::ModelComponentsExcelExport exporter(nullptr);
        if (!m_options.componentsTemplate.isEmpty()) {
            exporter.setTemplateFile(m_options.componentsTemplate);
        }
        const bool complete = exporter.exportComponents(model, m_options.componentsWorkbook);
        if (!exporter.isWritten()) {
            CommandFiles::reportWriteFailure(m_options.componentsWorkbook, exporter.getErrorText().trimmed(), err);
            ok = false;
        } else {
            out << "Component properties workbook: " << m_options.componentsWorkbook << "\n";
            if (!complete) {
                err << "material-quantities: properties missing in the component workbook:\n"
                    << exporter.getErrorText();
            }
        }
    }
    return writeInventory(model, settings, out, err) && ok;
}

bool ComputeCommand::writeInventory(Orvane::_ifc2x3::IFC2x3Model* model,
                                    const Orvane::MaterialQuantitiesSettings& settings, QTextStream& out,
                                    QTextStream& err) const
{
    if (m_options.inventoryWorkbook.isEmpty()) {
        return true;
    }
    QString error;
    if (!Orvane::InventoryWorkbookExport::exportInventory(Orvane::MaterialInventory::read(model, settings),
                                                          materialLibrary(err), m_options.inventoryWorkbook, &error)) {
        CommandFiles::reportWriteFailure(m_options.inventoryWorkbook, error, err);
        return false;
    }
    out << "Inventory workbook:            " << m_options.inventoryWorkbook << "\n";
    return true;
}

Orvane::MaterialLibrary ComputeCommand::materialLibrary(QTextStream& err) const
{
    // The settings file was read once already: it opens.
    QString problem;
    const std::unique_ptr<QSettings> store = m_options.settingsFile.isEmpty()
                                                 ? std::make_unique<QSettings>()
                                                 : SettingsFile::open(m_options.settingsFile, &problem);
    Orvane::MaterialLibrary library =
        store ? Orvane::MaterialLibrary::withSettings(*store, &problem) : Orvane::MaterialLibrary::shipped(&problem);
    if (!problem.isEmpty()) {
        err << "material-quantities: " << problem << "; materials it lacks are listed without a waste code\n";
    }
    return library;
}
