#include "ComputeCommand.h"

#include "HeapPrefaulter.h"
#include "ProgressReporter.h"
#include "ResultSummary.h"

#include "MaterialQuantitiesCalculator.h"
#include "MaterialQuantitiesCalculatorThread.h"
#include "MaterialQuantitiesProxyModel.h"
#include "MaterialQuantitiesSettings.h"
#include "MaterialTotalQuantitiesModel.h"
#include "ModelComponentsExcelExport.h"
#include "QuantitiesWorkbookExport.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>

#include <memory>

#include <sys/resource.h>

namespace {

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists()) {
        return first.canonicalFilePath() == second.canonicalFilePath();
    }
    return first.absoluteFilePath() == second.absoluteFilePath();
}

std::unique_ptr<Orvane::MaterialQuantitiesSettings> loadSettings(const QString& file, QTextStream& err)
{
    if (file.isEmpty()) {
        return std::make_unique<Orvane::MaterialQuantitiesSettings>();
    }
    if (!QFileInfo(file).isReadable()) {
        err << "material-quantities: cannot read settings file '" << file << "'\n";
        return nullptr;
    }
    QSettings store(file, QSettings::IniFormat);
    if (store.status() != QSettings::NoError) {
        err << "material-quantities: '" << file << "' is not a readable INI file\n";
        return nullptr;
    }
    return std::make_unique<Orvane::MaterialQuantitiesSettings>(store);
}

void explainFailure(const Orvane::MaterialQuantitiesSettings& settings, QTextStream& out)
{
    out << "\nMaterial quantities computation found no quantity. Check that:\n"
        << "  - the functional unit (volume, area, length) property exists [" << settings.functionalUnitPropertyPath
        << "]\n"
        << "  - the mass per functional unit property exists [" << settings.massPerFunctionalUnitPropertyPath << "]\n"
        << "  - the material composition property exists [" << settings.materialCompositionPropertyPath << "]\n"
        << "  - a base quantity linked to the functional unit exists (volume: "
        << settings.volumeQuantitiesPropPaths.join(QStringLiteral(", "))
        << "; area: " << settings.areaQuantitiesPropPaths.join(QStringLiteral(", "))
        << "; length: " << settings.lengthQuantitiesPropPaths.join(QStringLiteral(", ")) << ")\n"
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
    if (sameFile(m_options.input, m_options.output) && !m_options.inPlace) {
        err << "material-quantities: the output would overwrite the input '" << m_options.input
            << "'; give another -o or --in-place\n";
        return BadInput;
    }
    const std::unique_ptr<Orvane::MaterialQuantitiesSettings> settings = loadSettings(m_options.settingsFile, err);
    if (!settings) {
        return BadInput;
    }
    QString error;
    m_model = Orvane::_ifc2x3::IFC2x3Model::open(m_options.input, &error);
    std::unique_ptr<Orvane::_ifc2x3::IFC2x3Model>& model = m_model;
    if (!model) {
        err << "material-quantities: " << error << "\n";
        return BadInput;
    }
    // The job reads most of the file again, to compute and then to save:
    // its pages stay resident rather than being dropped and mapped again.
    model->dataSet()->setKeepSourceResident(true);
    const qint64 openMs = clock.elapsed();

    const QList<int> rows = Orvane::MaterialQuantitiesCalculator::getBuildingElementRows(model.get());
    const qint64 steps = rows.size() + static_cast<qint64>(model->dataSet()->getAllIfcBuilding().size()) +
                         static_cast<qint64>(model->dataSet()->getAllIfcTypeObject().size()) + 1;
    ProgressReporter progress(steps);
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
    {
        const HeapPrefaulter prefaulter;
        thread.start();
        loop.exec();
        thread.wait();
    }
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
        return CannotWrite;
    }
    const qint64 saveMs = saveClock.elapsed();

    out << "Model:                         " << m_options.input << "\n";
    out << "Saved to:                      " << m_options.output << "\n";
    ResultSummary(model.get(), *settings).print(out);
    if (!succeeded) {
        explainFailure(*settings, out);
    }
    const bool workbooksWritten = writeWorkbooks(model.get(), *settings, pathMap, out, err);
    out << "\nTime: open " << openMs << " ms, computation " << computeMs << " ms (" << computeCpuMs
        << " ms of CPU), save " << saveMs << " ms, total " << clock.elapsed() << " ms\n";
    if (!workbooksWritten) {
        return CannotWrite;
    }
    return succeeded ? Computed : NothingFound;
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
        QString error;
        if (Orvane::QuantitiesWorkbookExport::exportQuantities(&totals, &details, m_options.pmdWorkbook, &error)) {
            out << "Quantities workbook:           " << m_options.pmdWorkbook << "\n";
        } else {
            err << "material-quantities: cannot write '" << m_options.pmdWorkbook << "': " << error << "\n";
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
            err << "material-quantities: cannot write '" << m_options.componentsWorkbook
                << "': " << exporter.getErrorText() << "\n";
            ok = false;
        } else {
            out << "Component properties workbook: " << m_options.componentsWorkbook << "\n";
            if (!complete) {
                err << "material-quantities: properties missing in the component workbook:\n"
                    << exporter.getErrorText();
            }
        }
    }
    return ok;
}
