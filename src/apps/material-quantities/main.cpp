// material-quantities: the material quantities computation of the plug-in,
// run on a file from the command line.
#include "ComputeCommand.h"
#include "FileNameCodec.h"
#include "FoldingConsoleAppender.h"
#include "InputsCommand.h"

#include "Step/FaultGuard.h"
#include "Step/MemoryPolicy.h"
#include "Step/TemporaryFileRegistry.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <log4cplus/initializer.h>
#include <log4cplus/layout.h>
#include <log4cplus/logger.h>
#include <log4cplus/loglevel.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

/// The console appender, null when the level is unknown.
FoldingConsoleAppender* configureLogging(const QString& levelName)
{
    const log4cplus::LogLevel level = log4cplus::getLogLevelManager().fromString(levelName.toUpper().toStdString());
    if (level == log4cplus::NOT_SET_LOG_LEVEL) {
        return nullptr;
    }
    auto* console = new FoldingConsoleAppender(stderr);
    log4cplus::SharedAppenderPtr appender(console);
    appender->setLayout(std::make_unique<log4cplus::PatternLayout>("%-5p %c - %m%n"));
    log4cplus::Logger root = log4cplus::Logger::getRoot();
    root.addAppender(appender);
    root.setLogLevel(level);
    return console;
}

/// The first option given more than once, under any of its names, as the
/// user wrote it; empty when none is. The parser would keep the last value
/// and silently drop the others.
QString repeatedOption(const QCommandLineParser& parser, const QList<QCommandLineOption>& options)
{
    const QStringList given = parser.optionNames();
    for (const QCommandLineOption& option : options) {
        QStringList spellings;
        for (const QString& name : given) {
            if (option.names().contains(name)) {
                spellings.append((name.size() == 1 ? "-" : "--") + name);
            }
        }
        if (spellings.size() > 1) {
            return spellings.join(QStringLiteral(" and "));
        }
    }
    return {};
}

/// What makes the file options unusable, empty when nothing does: an option
/// given an empty file name, or a template without its workbook.
QString usageProblem(const QCommandLineParser& parser, const QList<QCommandLineOption>& fileOptions)
{
    for (const QCommandLineOption& option : fileOptions) {
        if (parser.isSet(option) && parser.value(option).isEmpty()) {
            const QString name = option.names().constFirst();
            return QStringLiteral("%1%2 is given an empty file name").arg(name.size() == 1 ? "-" : "--", name);
        }
    }
    if (parser.isSet(QStringLiteral("template")) && !parser.isSet(QStringLiteral("export-components"))) {
        return QStringLiteral("--template is only used with --export-components");
    }
    return {};
}

const char* const inputsUsage =
    "usage: material-quantities inputs export MODEL.ifc -o INPUTS.xlsx [--settings FILE.ini] [--log-level LEVEL]\n"
    "       material-quantities inputs import MODEL.ifc INPUTS.xlsx (-o OUTPUT.ifc | --in-place) "
    "[--settings FILE.ini] [--log-level LEVEL]\n";

/// The inputs subcommand's arguments as the command takes them; none when
/// the positional arguments or the output are not what it needs.
std::optional<InputsCommand::Options> inputsOptions(const QCommandLineParser& parser, const QStringList& arguments)
{
    const QString action = arguments.value(1);
    const bool exporting = action == QLatin1String("export") && arguments.size() == 3;
    const bool importing = action == QLatin1String("import") && arguments.size() == 4;
    const bool output = parser.isSet(QStringLiteral("output"));
    const bool inPlace = parser.isSet(QStringLiteral("in-place"));
    if (!(exporting && output && !inPlace) && !(importing && output != inPlace)) {
        return std::nullopt;
    }
    InputsCommand::Options options;
    options.action = exporting ? InputsCommand::Action::Export : InputsCommand::Action::Import;
    options.model = arguments.at(2);
    options.workbook = exporting ? parser.value(QStringLiteral("output")) : arguments.at(3);
    options.output = exporting ? QString() : parser.value(QStringLiteral("output"));
    options.settingsFile = parser.value(QStringLiteral("settings"));
    options.inPlace = inPlace;
    return options;
}

/// The first option of the compute command given to the inputs one, empty
/// when there is none.
QString computeOnlyOption(const QCommandLineParser& parser, const QList<QCommandLineOption>& options)
{
    for (const QCommandLineOption& option : options) {
        if (parser.isSet(option)) {
            return QStringLiteral("--%1 is not an option of material-quantities inputs")
                .arg(option.names().constFirst());
        }
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels());
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    log4cplus::Initializer logging;
    // The computation reports every item to this thread; the plain Unix
    // event dispatcher wakes it once per batch of posted events, where the
    // GLib one wakes it for each.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) {
        qputenv("QT_NO_GLIB", "1");
    }
    QCoreApplication app(argc, argv);
    // Before the arguments are read and the output streams made.
    FileNameCodec::installForUtf8Locale();
    // The same settings store as the host application.
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvane"));

    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Computes the material quantities of the building elements of an IFC 2x3 model and saves the model with "
        "its results, or writes the inputs of its element types as a workbook and reads them back.\n\n"
        "Usage: material-quantities compute INPUT.ifc -o OUTPUT.ifc [options]\n"
        "       material-quantities inputs export MODEL.ifc -o INPUTS.xlsx [--settings FILE.ini]\n"
        "       material-quantities inputs import MODEL.ifc INPUTS.xlsx (-o OUTPUT.ifc | --in-place) "
        "[--settings FILE.ini]"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("compute, or inputs export|import"));
    parser.addPositionalArgument(QStringLiteral("input"), QStringLiteral("The IFC 2x3 model to read."));
    const QCommandLineOption outputOption(QStringList{"o", "output"}, QStringLiteral("Where to save the model."),
                                          QStringLiteral("file"));
    const QCommandLineOption settingsOption(QStringLiteral("settings"),
                                            QStringLiteral("INI file with the group Tool/MaterialQuantities."),
                                            QStringLiteral("file"));
    const QCommandLineOption logLevelOption(QStringLiteral("log-level"),
                                            QStringLiteral("TRACE, DEBUG, INFO, WARN (default), ERROR, FATAL, OFF."),
                                            QStringLiteral("level"), QStringLiteral("WARN"));
    const QCommandLineOption inPlaceOption(
        QStringLiteral("in-place"),
        QStringLiteral("compute: allow OUTPUT to be INPUT; inputs import: save MODEL itself."));
    const QCommandLineOption pmdOption(QStringLiteral("export-pmd"),
                                       QStringLiteral("Also write the quantities workbook (totals and details)."),
                                       QStringLiteral("file.xlsx"));
    const QCommandLineOption componentsOption(QStringLiteral("export-components"),
                                              QStringLiteral("Also write the properties of every element type."),
                                              QStringLiteral("file.xlsx"));
    const QCommandLineOption inventoryOption(
        QStringLiteral("export-inventory"),
        QStringLiteral("Also write the inventory of materials with their waste codes, categories and outlets."),
        QStringLiteral("file.xlsx"));
    const QCommandLineOption templateOption(QStringLiteral("template"),
                                            QStringLiteral("Property paths of the component workbook, one a line."),
                                            QStringLiteral("file.txt"));
    const QList<QCommandLineOption> allOptions{outputOption, settingsOption,   logLevelOption, inPlaceOption,
                                               pmdOption,    componentsOption, templateOption, inventoryOption};
    parser.addOptions(allOptions);

    if (!parser.parse(QCoreApplication::arguments())) {
        err << "material-quantities: " << parser.errorText() << "\n";
        return ComputeCommand::BadInput;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return 0;
    }
    if (const QString repeated = repeatedOption(parser, allOptions); !repeated.isEmpty()) {
        err << "material-quantities: usage error: " << repeated << " set the same option; give it once\n";
        return ComputeCommand::BadInput;
    }
    const QStringList arguments = parser.positionalArguments();
    const bool inputs = arguments.value(0) == QLatin1String("inputs");
    const std::optional<InputsCommand::Options> inputsCommandOptions =
        inputs ? inputsOptions(parser, arguments) : std::nullopt;
    if (inputs && !inputsCommandOptions) {
        err << inputsUsage;
        return InputsCommand::BadInput;
    }
    if (inputs) {
        if (const QString problem =
                computeOnlyOption(parser, {pmdOption, componentsOption, templateOption, inventoryOption});
            !problem.isEmpty()) {
            err << "material-quantities: usage error: " << problem << "\n";
            return InputsCommand::BadInput;
        }
    } else if (arguments.size() != 2 || arguments.front() != QLatin1String("compute") || !parser.isSet(outputOption)) {
        err << "usage: material-quantities compute INPUT.ifc -o OUTPUT.ifc [--settings FILE.ini] "
               "[--log-level LEVEL] [--in-place] [--export-pmd FILE.xlsx] [--export-components FILE.xlsx "
               "[--template FILE.txt]] [--export-inventory FILE.xlsx]\n";
        return ComputeCommand::BadInput;
    }
    FoldingConsoleAppender* console = configureLogging(parser.value(logLevelOption));
    if (!console) {
        err << "material-quantities: unknown log level '" << parser.value(logLevelOption) << "'\n";
        return ComputeCommand::BadInput;
    }
    if (const QString problem = usageProblem(
            parser, {outputOption, settingsOption, pmdOption, componentsOption, templateOption, inventoryOption});
        !problem.isEmpty()) {
        err << "material-quantities: usage error: " << problem << "\n";
        return ComputeCommand::BadInput;
    }
    // The commands outlive the run: see the end.
    std::optional<InputsCommand> inputsCommand;
    std::optional<ComputeCommand> computeCommand;
    int status = 0;
    if (inputs) {
        status = inputsCommand.emplace(*inputsCommandOptions).run(out, err);
    } else {
        ComputeCommand::Options options;
        options.input = arguments.at(1);
        options.output = parser.value(outputOption);
        options.settingsFile = parser.value(settingsOption);
        options.inPlace = parser.isSet(inPlaceOption);
        options.pmdWorkbook = parser.value(pmdOption);
        options.componentsWorkbook = parser.value(componentsOption);
        options.componentsTemplate = parser.value(templateOption);
        options.inventoryWorkbook = parser.value(inventoryOption);
        status = computeCommand.emplace(options).run(out, err);
    }
    // The records and their counts before the command's own last words.
    console->finish();
    out.flush();
    err.flush();
    std::fflush(nullptr);
    // Everything is written: the system reclaims the model's memory far
    // faster than taking down millions of instances one by one.
    std::_Exit(status);
}
