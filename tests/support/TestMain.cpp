// The main of every test program. Programs that link Qt Widgets get a
// QApplication on the offscreen platform unless another is asked for, those
// that link Qt GUI only a QGuiApplication, the others a QCoreApplication;
// settings go to a scratch folder, never to the
// user's own store, and log records reach the tests' appenders only.
#if defined(QT_WIDGETS_LIB)
#include <QApplication>
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
#else
#include <QCoreApplication>
#endif
#include "Step/FaultGuard.h"
#include "Step/TemporaryFileRegistry.h"

#include <QAbstractItemModel>
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
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    log4cplus::Initializer logging;
    log4cplus::Logger::getRoot().addAppender(log4cplus::SharedAppenderPtr(new log4cplus::NullAppender));

#if defined(QT_WIDGETS_LIB) || defined(QT_GUI_LIB)
    // Test discovery runs the program without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
#if defined(QT_WIDGETS_LIB)
    QApplication app(argc, argv);
#elif defined(QT_GUI_LIB)
    QGuiApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
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
