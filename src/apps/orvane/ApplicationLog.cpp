#include "ApplicationLog.h"

#include <QDir>
#include <QStandardPaths>

#include <log4cplus/fileappender.h>
#include <log4cplus/layout.h>
#include <log4cplus/logger.h>
#include <log4cplus/loglevel.h>

namespace {

const long maximumFileSize = 5 * 1024 * 1024;
const int backupCount = 3;

} // namespace

QString startApplicationLog()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    const QString fileName = QDir(folder).filePath(QStringLiteral("orvane.log"));
    log4cplus::SharedAppenderPtr appender(
        new log4cplus::RollingFileAppender(QFile::encodeName(fileName).toStdString(), maximumFileSize, backupCount));
    appender->setLayout(std::make_unique<log4cplus::PatternLayout>("%D{%Y-%m-%d %H:%M:%S} %-5p %c - %m [%b:%L]%n"));
    log4cplus::Logger root = log4cplus::Logger::getRoot();
    root.removeAllAppenders();
    root.addAppender(appender);
    root.setLogLevel(log4cplus::WARN_LOG_LEVEL);
    return fileName;
}
