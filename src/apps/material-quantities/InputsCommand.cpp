#include "InputsCommand.h"

#include "SettingsFile.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookImport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWriter.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/RegularFile.h"

InputsCommand::InputsCommand(Options options) : m_options(std::move(options)) {}

InputsCommand::~InputsCommand() = default;

int InputsCommand::run(QTextStream& out, QTextStream& err)
{
    if (const std::optional<ExitStatus> refusal = checkFiles(err)) {
        return *refusal;
    }
    QString error;
    const std::unique_ptr<Orvane::MaterialQuantitiesSettings> settings =
        SettingsFile::materialQuantitiesSettings(m_options.settingsFile, &error);
    if (!settings) {
        err << "material-quantities: " << error << "\n";
        return BadInput;
    }
    m_model = Orvane::_ifc2x3::IFC2x3Model::open(m_options.model, &error);
    if (!m_model) {
        err << "material-quantities: " << error << "\n";
        return CannotReadOrWrite;
    }
    const Orvane::TypeInputsTable table = Orvane::TypeInputsReader(m_model.get(), *settings).read();
    if (m_options.action == Action::Export) {
        return exportInputs(table, out, err);
    }
    return importInputs(*settings, table, out, err);
}

std::optional<InputsCommand::ExitStatus> InputsCommand::checkFiles(QTextStream& err) const
{
    if (!CommandFiles::passes(Step::RegularFile::checkReadable, m_options.model, err)) {
        return CannotReadOrWrite;
    }
    const bool workbookRead = m_options.action == Action::Import;
    if ((workbookRead && !CommandFiles::passes(Step::RegularFile::checkReadable, m_options.workbook, err)) ||
        (!m_options.settingsFile.isEmpty() &&
         !CommandFiles::passes(Step::RegularFile::checkReadable, m_options.settingsFile, err))) {
        return BadInput;
    }
    const QList<CommandFiles::NamedPath> paths = namedPaths();
    const CommandFiles::InPlace inPlace =
        m_options.action == Action::Export ? CommandFiles::InPlace::NotOffered : CommandFiles::InPlace::Refused;
    if (!CommandFiles::checkCollisions(paths, inPlace, err)) {
        return BadInput;
    }
    if (!CommandFiles::checkReplaceable(paths, err)) {
        return CannotReadOrWrite;
    }
    return std::nullopt;
}

QList<CommandFiles::NamedPath> InputsCommand::namedPaths() const
{
    if (m_options.action == Action::Export) {
        return {{QStringLiteral("MODEL"), m_options.model, false},
                {QStringLiteral("-o"), m_options.workbook, true},
                {QStringLiteral("--settings"), m_options.settingsFile, false}};
    }
    // In place, the model is the file written.
    return {{QStringLiteral("MODEL"), m_options.model, m_options.inPlace},
            {QStringLiteral("INPUTS"), m_options.workbook, false},
            {QStringLiteral("-o"), m_options.inPlace ? QString() : m_options.output, true},
            {QStringLiteral("--settings"), m_options.settingsFile, false}};
}

QString InputsCommand::savedModelPath() const
{
    return m_options.inPlace ? m_options.model : m_options.output;
}

int InputsCommand::exportInputs(const Orvane::TypeInputsTable& table, QTextStream& out, QTextStream& err) const
{
    QString error;
    if (!Orvane::TypeInputsWorkbookExport::write(table, m_options.workbook, &error)) {
        CommandFiles::reportWriteFailure(m_options.workbook, error, err);
        return CannotReadOrWrite;
    }
    out << "Exported the inputs of " << table.types.size() << " element types (" << table.materials.size()
        << " materials) to " << m_options.workbook << "\n";
    return Done;
}

int InputsCommand::importInputs(const Orvane::MaterialQuantitiesSettings& settings,
                                const Orvane::TypeInputsTable& table, QTextStream& out, QTextStream& err) const
{
    const Orvane::TypeInputsWorkbookImport::Result read =
        Orvane::TypeInputsWorkbookImport::read(m_options.workbook, table);
    if (!read.isValid()) {
        err << "material-quantities: " << read.error << "\n";
        return BadInput;
    }
    QString error;
    const Orvane::TypeInputsWriter writer(m_model.get(), settings);
    const int changed = Orvane::TypeInputsWorkbookImport::apply(read.changes, writer, &error);
    if (changed < 0) {
        err << "material-quantities: " << error << "\n";
        return BadInput;
    }
    // A model saved over itself is left alone when nothing changes.
    if ((changed > 0 || !m_options.inPlace) && !m_model->save(savedModelPath(), &error)) {
        err << "material-quantities: " << error << "\n";
        return CannotReadOrWrite;
    }
    out << "Changed the inputs of " << changed << " of " << table.types.size() << " element types from "
        << m_options.workbook << "\n";
    if (changed > 0 || !m_options.inPlace) {
        out << "Saved to: " << savedModelPath() << "\n";
    }
    return Done;
}
