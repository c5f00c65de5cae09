#include "ExportTestSupport.h"

#include "Step/StringCodec.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>

#include <log4cplus/spi/loggingevent.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace exporttest {

namespace {

const QString python = QStringLiteral("/usr/bin/python3");

// Every cell of every sheet from A1, whatever the first used cell.
const char* const dumpScript = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
out = []
for sheet in book.worksheets:
    rows = []
    for row in sheet.iter_rows(min_row=1, min_col=1, max_row=sheet.max_row, max_col=sheet.max_column, values_only=True):
        rows.append([v if v is None or isinstance(v, (bool, int, float, str)) else str(v) for v in row])
    out.append({"name": sheet.title, "rows": rows})
sys.stdout.write(json.dumps(out))
)";

} // namespace

QVariant Sheet::cell(int row, int column) const
{
    const QVariantList cells = this->row(row);
    return column <= cells.size() ? cells.at(column - 1) : QVariant();
}

bool openpyxlAvailable()
{
    static const bool available = [] {
        QProcess process;
        process.start(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }();
    return available;
}

bool runPython(const QString& script, const QStringList& arguments)
{
    QProcess process;
    process.start(python, QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        ADD_FAILURE() << "python failed: " << process.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

QList<Sheet> readWorkbook(const QString& path)
{
    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromUtf8(dumpScript), path});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        ADD_FAILURE() << "openpyxl cannot read " << path.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    QList<Sheet> sheets;
    for (const QJsonValue& sheetValue : QJsonDocument::fromJson(process.readAllStandardOutput()).array()) {
        Sheet sheet;
        sheet.name = sheetValue.toObject().value(QStringLiteral("name")).toString();
        for (const QJsonValue& rowValue : sheetValue.toObject().value(QStringLiteral("rows")).toArray()) {
            QVariantList row;
            for (const QJsonValue& cell : rowValue.toArray()) {
                // Numbers as doubles, whether JSON wrote them with a fraction or not.
                row.append(cell.isNull() ? QVariant() : cell.isDouble() ? QVariant(cell.toDouble()) : cell.toVariant());
            }
            sheet.rows.append(row);
        }
        sheets.append(sheet);
    }
    return sheets;
}

QStringList sheetNames(const QList<Sheet>& sheets)
{
    QStringList names;
    for (const Sheet& sheet : sheets) {
        names.append(sheet.name);
    }
    return names;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

void typeFileName(QFileDialog* dialog, const QString& name)
{
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr) << "the dialog has no file name field";
    field->setText(name);
}

ReadOnlyFolder::ReadOnlyFolder(const QString& path) : m_path(path)
{
    if (geteuid() == 0) {
        m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    } else {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
    // Whatever was done, check that it holds.
    QFile probe(QDir(path).filePath(QStringLiteral("probe")));
    m_active = !probe.open(QIODevice::WriteOnly);
    if (!m_active) {
        probe.remove();
    }
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_immutable) {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    }
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// ---------------------------------------------------------------- models

std::string str(const QString& text)
{
    return "'" + Step::StringCodec::encode(text.toStdString()) + "'";
}

StepModel::StepModel(const QString& projectLabel)
{
    const int mass = add("IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.)");
    const int units = add("IFCUNITASSIGNMENT((#" + std::to_string(mass) + "))");
    if (!projectLabel.isNull()) {
        add("IFCPROJECT('" + guid() + "',$," + str(projectLabel) + ",$,$,$,$,$,#" + std::to_string(units) + ")");
    }
}

int StepModel::add(const std::string& record)
{
    const int key = m_next++;
    m_data += "#" + std::to_string(key) + "=" + record + ";\n";
    return key;
}

std::string StepModel::guid()
{
    const std::string n = std::to_string(++m_guid);
    return std::string(22 - n.size(), '0') + n;
}

int StepModel::propertySet(const QString& name, const std::vector<std::pair<QString, std::string>>& properties)
{
    std::string list;
    for (const auto& [propertyName, value] : properties) {
        const int key = add("IFCPROPERTYSINGLEVALUE(" + str(propertyName) + ",$," + value + ",$)");
        list += (list.empty() ? "#" : ",#") + std::to_string(key);
    }
    return add("IFCPROPERTYSET('" + guid() + "',$," + str(name) + ",$,(" + list + "))");
}

int StepModel::type(const std::string& entity, const QString& name, const std::vector<int>& propertySets)
{
    std::string sets = "$";
    if (!propertySets.empty()) {
        sets.clear();
        for (int set : propertySets) {
            sets += (sets.empty() ? "(#" : ",#") + std::to_string(set);
        }
        sets += ")";
    }
    return add(entity + "('" + guid() + "',$," + str(name) + ",$,$," + sets + ",$,$,$,.NOTDEFINED.)");
}

std::unique_ptr<Orvane::_ifc2x3::IFC2x3Model> StepModel::open() const
{
    const std::string text = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\n"
                             "FILE_NAME('test.ifc','2024-01-01T00:00:00',(''),(''),'','','');\n"
                             "FILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n" +
                             m_data + "ENDSEC;\nEND-ISO-10303-21;\n";
    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    if (!dataSet->openFromText(text)) {
        ADD_FAILURE() << dataSet->lastError().toString() << "\n" << text;
        return nullptr;
    }
    return std::make_unique<Orvane::_ifc2x3::IFC2x3Model>(std::move(dataSet));
}

// ---------------------------------------------------------------- logs

class LogCapture::Appender : public log4cplus::Appender
{
public:
    ~Appender() override { destructorImpl(); }
    void close() override {}

    std::vector<LogRecord> records() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_records;
    }

protected:
    void append(const log4cplus::spi::InternalLoggingEvent& event) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.push_back({event.getLogLevel(), event.getMessage(), event.getLoggerName()});
    }

private:
    mutable std::mutex m_mutex;
    std::vector<LogRecord> m_records;
};

LogCapture::LogCapture(const std::string& loggerName)
    : m_logger(log4cplus::Logger::getInstance(loggerName)), m_appender(new Appender),
      m_capture(static_cast<Appender*>(m_appender.get()))
{
    m_logger.addAppender(m_appender);
}

LogCapture::~LogCapture()
{
    m_logger.removeAppender(m_appender);
}

std::vector<LogRecord> LogCapture::records() const
{
    return m_capture->records();
}

} // namespace exporttest
