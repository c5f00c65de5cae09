#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

/// How a program run by a test ended: its exit status (-1 when it crashed
/// or did not finish) and what it wrote.
struct ProgramOutcome
{
    int status = -1;
    QString out;
    QString err;
};

/// Runs a program in a folder; a FIFO read by mistake would block it, so it
/// is killed after a while rather than waited on.
inline ProgramOutcome runProgram(const QString& program, const QString& folder, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    ProgramOutcome result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("<did not finish>");
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

} // namespace testsupport
