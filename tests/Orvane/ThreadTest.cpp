#include "OrvaneTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <thread>

using namespace orvanetest;

namespace {

struct Change
{
    int firstRow;
    int lastRow;
    int lastColumn;
    QThread* thread;
};

std::unique_ptr<IFC2x3Model> wallsModel(int count)
{
    std::string data = projectWithUnits("");
    for (int i = 0; i < count; ++i) {
        data += "#" + std::to_string(100 + i) + "=IFCWALL('2O2Fr$t4X7Zf8NOew3FL" + char('A' + i) + char('A' + i) +
                "',$,'Wall',$,$,$,$,$);\n";
    }
    return openText(data);
}

/// Runs the event loop until pred holds or two seconds have passed.
template <class Pred> bool waitFor(Pred pred)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return pred();
}

} // namespace

TEST(IFC2x3ModelThreads, UpdatesFromAWorkerArriveMergedOnTheModelsThread)
{
    auto model = wallsModel(8);
    ASSERT_TRUE(model);
    std::vector<Change> changes;
    QObject::connect(model.get(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         changes.push_back({from.row(), to.row(), to.column(), QThread::currentThread()});
                     });
    std::thread worker([&] {
        for (int row : {3, 1, 2, 6, 2, 3}) {
            model->updateItem(model->index(row, 0));
        }
        model->updateItem(QModelIndex());
    });
    worker.join();
    EXPECT_TRUE(changes.empty()) << "nothing is told on the worker's thread";
    ASSERT_TRUE(waitFor([&] { return changes.size() >= 2; }));
    QCoreApplication::processEvents();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].firstRow, 1);
    EXPECT_EQ(changes[0].lastRow, 3);
    EXPECT_EQ(changes[0].lastColumn, IFC2x3Model::ColumnCount - 1);
    EXPECT_EQ(changes[1].firstRow, 6);
    EXPECT_EQ(changes[1].lastRow, 6);
    for (const Change& change : changes) {
        EXPECT_EQ(change.thread, model->thread());
    }

    // Later updates are told again.
    changes.clear();
    model->updateItem(model->index(5, 0));
    EXPECT_TRUE(changes.empty()) << "queued, even on the model's own thread";
    ASSERT_TRUE(waitFor([&] { return !changes.empty(); }));
    EXPECT_EQ(changes[0].firstRow, 5);
}
