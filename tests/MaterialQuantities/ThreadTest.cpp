// The worker thread: its signals as the user interface thread receives
// them, its copy of the settings and the lifetime of its calculator.

#include "HostModels.h"
#include "LogCapture.h"
#include "MaterialQuantitiesCalculatorThread.h"
#include "ResultSets.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace mqtest {
using namespace testsupport;

namespace {

using Orvane::MaterialQuantitiesCalculatorThread;

/// What the user interface thread received, in order.
struct Received
{
    std::vector<std::string> order;
    QMap<int, QString> paths;
};

/// Starts a worker as the dock does (finished() to deleteLater()) and
/// collects what reaches an object of this thread until it is gone.
Received runWorker(IFC2x3Model* model, Orvane::MaterialQuantitiesSettings& settings)
{
    Received received;
    QObject dock;
    auto* thread = new MaterialQuantitiesCalculatorThread(model, settings, &dock);
    QObject::connect(thread, &MaterialQuantitiesCalculatorThread::calculatedItem, &dock,
                     [&] { received.order.push_back("item"); });
    QObject::connect(thread, &MaterialQuantitiesCalculatorThread::calculationFailed, &dock,
                     [&] { received.order.push_back("failed"); });
    QObject::connect(thread, &MaterialQuantitiesCalculatorThread::calculationSucceeded, &dock,
                     [&](QMap<int, QString> paths) {
                         received.order.push_back("succeeded");
                         received.paths = paths;
                     });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QPointer<MaterialQuantitiesCalculatorThread> alive(thread);
    QEventLoop loop;
    QObject::connect(thread, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    thread->start();
    // Later changes of the caller's settings must not reach the run.
    settings = Orvane::MaterialQuantitiesSettings();
    settings.totalQuantitiesPropertySetName = "Changed";
    settings.volumeQuantitiesPropPaths = QStringList{"Properties/Nowhere"};
    loop.exec();
    EXPECT_TRUE(alive.isNull()) << "the worker was not deleted after it finished";
    QCoreApplication::sendPostedEvents();
    return received;
}

std::vector<std::string> items(int count, const std::string& last)
{
    std::vector<std::string> out(static_cast<std::size_t>(count), "item");
    out.push_back(last);
    return out;
}

class Worker : public ::testing::Test
{
protected:
    const TypeInputs concrete{"volume", mass(100), {{"A", number(90)}, {"B", number(10)}}, boolean('F')};
    Orvane::MaterialQuantitiesSettings settings = Orvane::MaterialQuantitiesSettings();
    ModelBuilder builder;
    LogCapture log{calculatorLog};
};

TEST_F(Worker, SuccessComesAfterEveryItemWithThePathOfEachRow)
{
    const int building = builder.building("Building");
    std::vector<int> walls;
    builder.typedWalls(concrete,
                       {{qVolume("NetVolume", 3.0)}, {qVolume("GrossVolume", 2.0), qVolume("NetVolume", 1.0)}}, walls,
                       building);
    auto model = builder.open();
    ASSERT_TRUE(model);
    const Received received = runWorker(model.get(), settings);
    // 2 elements, 1 building, 1 type, the project.
    EXPECT_EQ(received.order, items(5, "succeeded"));
    EXPECT_EQ(received.paths,
              (QMap<int, QString>{{indexOf(*model, walls[0]).row(), "Properties/BaseQuantities/NetVolume"},
                                  {indexOf(*model, walls[1]).row(), "Properties/BaseQuantities/GrossVolume"}}));
    // Computed with the settings the worker was given.
    EXPECT_EQ(setValues(*model, walls[0], "TotalMaterialQuantities"),
              (QMap<QString, double>{{"A", 270.0}, {"B", 30.0}}));
    EXPECT_EQ(setCount(*model, walls[0], "Changed"), 0);
}

TEST_F(Worker, AFailingPassOrOneWithoutBaseQuantitiesDeliversItsItemsFirst)
{
    std::vector<int> walls;
    builder.typedWalls({"volume", mass(100), {}, ""}, {{qVolume("Volume", 1.0)}, {}}, walls);
    builder.type("IFCWALLTYPE", "Unused", {}, {});
    auto failing = builder.open();
    ASSERT_TRUE(failing);
    // 2 elements and 2 types, nothing else.
    EXPECT_EQ(runWorker(failing.get(), settings).order, items(4, "failed"));

    ModelBuilder withoutBaseQuantities;
    withoutBaseQuantities.typedWalls(concrete, {{}, {qLength("Length", 2.0)}}, walls);
    auto model = withoutBaseQuantities.open();
    ASSERT_TRUE(model);
    const Received received = runWorker(model.get(), settings);
    EXPECT_EQ(received.order, items(4, "succeeded"));
    EXPECT_TRUE(received.paths.isEmpty());
}

} // namespace
} // namespace mqtest
