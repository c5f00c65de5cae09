#include "CheckedModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/QuantitiesPropPathListModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/QuantitiesPropPathListView.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using Orvane::QuantitiesPropPathListModel;
using Orvane::QuantitiesPropPathListView;

const QStringList threePaths{"P1", "P2", "P3"};

class PathList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view.setModel(&model);
        view.resize(300, 300);
        view.show();
    }

    QModelIndex row(int r) const { return model.index(r); }

    /// Drags the path at sourceRow onto the row at targetRow: the events of a
    /// drag within the view, through its own handling.
    bool drop(int sourceRow, int targetRow, Qt::DropActions actions = Qt::MoveAction,
              const QAbstractItemModel* from = nullptr)
    {
        from = from ? from : &model;
        view.setCurrentIndex(row(sourceRow));
        QCoreApplication::processEvents(); // lays the rows out
        const std::unique_ptr<QMimeData> data(from->mimeData({from->index(sourceRow, 0)}));
        const QPoint source = view.visualRect(row(sourceRow)).center();
        const QPoint target = view.visualRect(row(targetRow)).center();
        QDragEnterEvent enter(source, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &enter);
        QDragMoveEvent move(target, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &move);
        QDropEvent drop(target, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &drop);
        return drop.isAccepted();
    }

    QuantitiesPropPathListModel model;
    QuantitiesPropPathListView view;
};

TEST_F(PathList, StaysWithinTheItemModelContractThroughEveryEdit)
{
    testsupport::CheckedModel checked(&model);
    model.setPropertyPaths(threePaths);
    model.setData(row(1), "P2b");
    model.setData(row(3), "P4");
    model.insertRows(1, 2);
    model.removeRows(1, 2);
    model.removePropertyPath(0);
    std::unique_ptr<QMimeData> data(model.mimeData({row(0)}));
    model.dropMimeData(data.get(), Qt::CopyAction, -1, 0, row(1));
    model.moveRows(QModelIndex(), 0, 1, QModelIndex(), 3);
    drop(2, 0);
    model.setPropertyPaths({});
}

TEST_F(PathList, RefusedEditsLeaveTheListAsItWasAndDeleteRemovesTheCurrentPathOnly)
{
    model.setPropertyPaths(threePaths);
    EXPECT_FALSE(model.setData(row(0), ""));
    EXPECT_FALSE(model.setData(row(0), QVariant()));
    EXPECT_FALSE(model.setData(row(0), "X", Qt::DisplayRole));
    EXPECT_FALSE(model.setData(QModelIndex(), "X"));
    EXPECT_FALSE(model.insertRows(0, 1, row(0)));
    EXPECT_FALSE(model.insertRows(0, 0));
    EXPECT_FALSE(model.insertRows(-1, 1));
    EXPECT_FALSE(model.insertRows(4, 1));
    EXPECT_FALSE(model.removeRows(0, 1, row(0)));
    EXPECT_FALSE(model.removeRows(3, 1)); // the new-path row
    EXPECT_FALSE(model.removeRows(-1, 2));
    view.setCurrentIndex(row(3));
    QTest::keyClick(&view, Qt::Key_Delete); // the new-path row
    EXPECT_EQ(model.getPropertyPaths(), threePaths);

    view.setCurrentIndex(row(1));
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(model.getPropertyPaths(), QStringList({"P1", "P3"}));
    EXPECT_TRUE(model.removeRows(1, 5)); // up to the new-path row, which stays
    EXPECT_EQ(model.getPropertyPaths(), QStringList{"P1"});
}

TEST_F(PathList, ADroppedPathLandsAfterThePathItIsDroppedOntoAndIsNeitherLostNorDuplicated)
{
    struct Case
    {
        int source;
        int target;
        QStringList expected;
    };
    const Case cases[] = {{0, 2, {"P2", "P3", "P1"}}, {2, 0, {"P1", "P3", "P2"}}, {0, 1, {"P2", "P1", "P3"}},
                          {1, 0, threePaths},         {0, 0, threePaths},         {0, 3, threePaths}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source << " onto " << c.target);
        model.setPropertyPaths(threePaths);
        drop(c.source, c.target);
        EXPECT_EQ(model.getPropertyPaths(), c.expected);
    }
}

TEST_F(PathList, DropsOfAnotherTypeAnotherListOrWithTheLinkActionAreRefused)
{
    model.setPropertyPaths(threePaths);
    QuantitiesPropPathListModel otherList;
    otherList.setPropertyPaths(threePaths);
    EXPECT_FALSE(drop(0, 2, Qt::MoveAction, &otherList));
    std::unique_ptr<QMimeData> paths(model.mimeData({row(0)}));
    QMimeData text;
    text.setText("P1");
    EXPECT_FALSE(model.dropMimeData(&text, Qt::CopyAction, -1, 0, row(2)));
    EXPECT_FALSE(model.dropMimeData(paths.get(), Qt::LinkAction, -1, 0, row(2)));
    EXPECT_FALSE(model.dropMimeData(paths.get(), Qt::CopyAction, -1, 0, row(3)));
    EXPECT_FALSE(drop(0, 2, Qt::LinkAction));
    EXPECT_EQ(model.getPropertyPaths(), threePaths);

    // The model's own drop inserts copies after the path dropped onto.
    EXPECT_TRUE(model.dropMimeData(paths.get(), Qt::MoveAction, -1, 0, row(2)));
    EXPECT_EQ(model.getPropertyPaths(), QStringList({"P1", "P2", "P3", "P1"}));
}
