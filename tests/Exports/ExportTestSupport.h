#pragma once

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QFileDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <log4cplus/appender.h>
#include <log4cplus/logger.h>

#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace exporttest {

// ------------------------------------------------------- workbooks read back

/// A sheet as openpyxl reads it: rows from row 1, cells from column 1, a
/// cell being invalid (empty), bool, double or QString.
struct Sheet
{
    QString name;
    QList<QVariantList> rows;

    /// The cell at row and column numbered from 1, invalid when empty.
    QVariant cell(int row, int column) const;
    QVariantList row(int row) const { return row <= rows.size() ? rows.at(row - 1) : QVariantList(); }
};

/// Whether /usr/bin/python3 can import openpyxl.
bool openpyxlAvailable();
/// The sheets of a workbook in order; fails the test when it does not read.
QList<Sheet> readWorkbook(const QString& path);
QStringList sheetNames(const QList<Sheet>& sheets);
/// Runs a Python script with openpyxl; false (and a test failure) on error.
bool runPython(const QString& script, const QStringList& arguments);

#define REQUIRE_OPENPYXL()                                                                                             \
    do {                                                                                                               \
        if (!exporttest::openpyxlAvailable()) {                                                                        \
            GTEST_SKIP() << "/usr/bin/python3 with openpyxl is needed to read workbooks back";                         \
        }                                                                                                              \
    } while (false)

// ---------------------------------------------------------------- files

QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& content);

/// Types a file name into a file dialog's name field, as a user would.
/// selectFile() leaves that field alone once it has the focus, which the
/// dialog gives it at some point after showing.
void typeFileName(QFileDialog* dialog, const QString& name);

/// Makes a folder refuse new entries while alive (chattr +i as root, whom
/// permissions do not stop, else chmod); isActive() is false when neither
/// works here.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool isActive() const { return m_active; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_active = false;
};

// ---------------------------------------------------------------- models

/// A small IFC 2x3 model as STEP text: a project, property sets and types.
class StepModel
{
public:
    /// With a project of that label, or none when the label is null.
    explicit StepModel(const QString& projectLabel = QStringLiteral("Projet"));
    int add(const std::string& record);
    int propertySet(const QString& name, const std::vector<std::pair<QString, std::string>>& properties);
    /// A type object such as IFCWALLTYPE or IFCSPACETYPE.
    int type(const std::string& entity, const QString& name, const std::vector<int>& propertySets = {});
    std::unique_ptr<Orvane::_ifc2x3::IFC2x3Model> open() const;

private:
    std::string guid();
    int m_next = 1;
    int m_guid = 0;
    std::string m_data;
};

/// A quoted STEP string, non-ASCII characters encoded.
std::string str(const QString& text);

// ---------------------------------------------------------------- logs

struct LogRecord
{
    int level;
    std::string message;
    std::string logger;
};

/// Collects the records of one logger while alive.
class LogCapture
{
public:
    explicit LogCapture(const std::string& loggerName);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    std::vector<LogRecord> records() const;

private:
    class Appender;
    log4cplus::Logger m_logger;
    log4cplus::SharedAppenderPtr m_appender;
    Appender* m_capture;
};

} // namespace exporttest

/// Readable QVariants in failure messages.
inline void PrintTo(const QVariant& value, std::ostream* out)
{
    *out << (value.isValid() ? value.typeName() : "invalid") << "(" << value.toString().toStdString() << ")";
}
