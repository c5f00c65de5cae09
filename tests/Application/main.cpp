// The application's window and plug-ins on a real display (Xvfb); settings
// go to a scratch folder, never to the user's own store.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>

int main(int argc, char** argv)
{
    log4cplus::Initializer logInitializer;
    // The sample's skipped elements are logged; the tests look at the window.
    log4cplus::Logger::getRoot().setLogLevel(log4cplus::OFF_LOG_LEVEL);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MaterialQuantitiesTests"));
    QCoreApplication::setApplicationName(QStringLiteral("application_tests"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(format, QSettings::SystemScope, settingsDir.path());
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
