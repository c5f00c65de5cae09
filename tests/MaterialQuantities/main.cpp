#include "MaterialQuantitiesCalculatorThread.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>
#include <log4cplus/nullappender.h>

#include <gtest/gtest.h>

namespace mqtest {
bool mapTypeKnownBeforeThread = false;
bool mapTypeKnownAfterThread = false;
} // namespace mqtest

int main(int argc, char** argv)
{
    log4cplus::Initializer logging;
    // Records still reach the tests' own appenders; nothing is printed.
    log4cplus::Logger::getRoot().addAppender(log4cplus::SharedAppenderPtr(new log4cplus::NullAppender));

    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MaterialQuantitiesTests"));
    QCoreApplication::setApplicationName(QStringLiteral("material_quantities_tests"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(format, QSettings::SystemScope, settingsDir.path());
    }

    // Whether building a worker thread makes the path map usable in queued
    // signals by the name the signal uses; then made sure of for the tests.
    const char* mapTypeName = "QMap<int, QString>";
    mqtest::mapTypeKnownBeforeThread = QMetaType::type(mapTypeName) != QMetaType::UnknownType;
    delete new Orvane::MaterialQuantitiesCalculatorThread(nullptr, mqtest::defaultSettings(), nullptr);
    mqtest::mapTypeKnownAfterThread = QMetaType::type(mapTypeName) != QMetaType::UnknownType;
    qRegisterMetaType<QMap<int, QString>>(mapTypeName);

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
