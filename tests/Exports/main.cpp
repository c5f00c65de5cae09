#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>
#include <log4cplus/nullappender.h>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    log4cplus::Initializer logging;
    // Records still reach the tests' own appenders; nothing is printed.
    log4cplus::Logger::getRoot().addAppender(log4cplus::SharedAppenderPtr(new log4cplus::NullAppender));

    // Widgets for the save dialog test; no display needed, also when the
    // tests are listed at build time.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MaterialQuantitiesTests"));
    QCoreApplication::setApplicationName(QStringLiteral("export_tests"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(format, QSettings::SystemScope, settingsDir.path());
    }

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
