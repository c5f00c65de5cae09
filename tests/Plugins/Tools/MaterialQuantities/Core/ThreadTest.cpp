// The worker thread: its signals as the user interface thread receives
// them, its copy of the settings and the lifetime of its calculator.

#include "HostModels.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculatorThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace testsupport;
using Orvane::MaterialQuantitiesCalculatorThread;

// Started as the dock starts it (finished() to deleteLater()); what reaches
// an object of this thread is collected until the worker is gone.
TEST(Worker, SuccessComesAfterEveryItemWithThePathOfEachRow)
{
    ModelBuilder builder;
    std::vector<int> walls;
    builder.typedWalls({"volume", mass(100), {{"A", number(90)}, {"B", number(10)}}, boolean('F')},
                       {{qVolume("NetVolume", 3.0)}, {qVolume("GrossVolume", 2.0), qVolume("NetVolume", 1.0)}}, walls,
                       builder.building("Building"));
    auto model = builder.open();
    ASSERT_TRUE(model);

    std::vector<std::string> order;
    QMap<int, QString> paths;
    Orvane::MaterialQuantitiesSettings settings;
    QObject dock;
    auto* thread = new MaterialQuantitiesCalculatorThread(model.get(), settings, &dock);
    QObject::connect(thread, &MaterialQuantitiesCalculatorThread::calculatedItem, &dock,
                     [&] { order.push_back("item"); });
    QObject::connect(thread, &MaterialQuantitiesCalculatorThread::calculationFailed, &dock,
                     [&] { order.push_back("failed"); });
    QObject::connect(thread, &MaterialQuantitiesCalculatorThread::calculationSucceeded, &dock,
                     [&](QMap<int, QString> received) {
                         order.push_back("succeeded");
                         paths = received;
                     });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QPointer<MaterialQuantitiesCalculatorThread> alive(thread);
    QEventLoop loop;
    QObject::connect(thread, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    thread->start();
    // Later changes of the caller's settings must not reach the run.
    settings.totalQuantitiesPropertySetName = "Changed";
    settings.volumeQuantitiesPropPaths = QStringList{"Properties/Nowhere"};
    loop.exec();
    EXPECT_TRUE(alive.isNull()) << "the worker was not deleted after it finished";
    QCoreApplication::sendPostedEvents();

    // The old results, 2 elements, 1 building, 1 type, the project.
    EXPECT_EQ(order, (std::vector<std::string>{"item", "item", "item", "item", "item", "item", "succeeded"}));
    EXPECT_EQ(paths, (QMap<int, QString>{{indexOf(*model, walls[0]).row(), "Properties/BaseQuantities/NetVolume"},
                                         {indexOf(*model, walls[1]).row(), "Properties/BaseQuantities/GrossVolume"}}));
    EXPECT_EQ(setValues(*model, walls[0], "TotalMaterialQuantities"),
              (QMap<QString, double>{{"A", 270.0}, {"B", 30.0}}));
    EXPECT_EQ(setCount(*model, walls[0], "Changed"), 0);
}

} // namespace
