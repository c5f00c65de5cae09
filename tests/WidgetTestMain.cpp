// The main of the widget test programs: a GUI application on the offscreen
// platform unless another is asked for, settings in a scratch folder (never
// the user's own store), and log records kept from the console.
#include <QAbstractItemModel>
#include <QApplication>
#include <QPersistentModelIndex>
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

    // Test discovery runs the binary without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv); // the application name is the program's
    QCoreApplication::setOrganizationName(QStringLiteral("MaterialQuantitiesTests"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(format, QSettings::SystemScope, settingsDir.path());
    }

    // Signal spies record the arguments of these signals by type name.
    qRegisterMetaType<QModelIndexList>("QList<QModelIndex>");
    qRegisterMetaType<QList<QPersistentModelIndex>>("QList<QPersistentModelIndex>");
    qRegisterMetaType<QAbstractItemModel::LayoutChangeHint>("QAbstractItemModel::LayoutChangeHint");

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
