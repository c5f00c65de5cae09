#include "MaterialQuantitiesChartView.h"

#include <QAbstractItemModel>
#include <QGraphicsLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>

namespace Orvane {

namespace {

enum Column { NameColumn = 0, RecoveredColumn = 1, ReusedColumn = 2 };

QtCharts::QBarSet* barSet(const QAbstractItemModel& model, int column)
{
    auto* set = new QtCharts::QBarSet(model.headerData(column, Qt::Horizontal).toString());
    for (int row = 0; row < model.rowCount(); ++row) {
        set->append(model.index(row, column).data().toDouble());
    }
    return set;
}

} // namespace

MaterialQuantitiesChartView::MaterialQuantitiesChartView(QWidget* parent) : QtCharts::QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignBottom);
    chart()->setMargins(QMargins(2, 2, 2, 2));
    chart()->layout()->setContentsMargins(0, 0, 0, 0);
    chart()->setBackgroundRoundness(0);
    // Bars above names written upwards.
    setMinimumHeight(260);
}

MaterialQuantitiesChartView::~MaterialQuantitiesChartView() = default;

void MaterialQuantitiesChartView::setModel(QAbstractItemModel* model)
{
    if (m_model) {
        disconnect(m_model, nullptr, this, nullptr);
    }
    m_model = model;
    if (m_model) {
        // Sorting moves rows without resetting: the bars follow.
        connect(m_model, &QAbstractItemModel::layoutChanged, this, &MaterialQuantitiesChartView::rebuild);
        connect(m_model, &QAbstractItemModel::modelReset, this, &MaterialQuantitiesChartView::rebuild);
        connect(m_model, &QAbstractItemModel::dataChanged, this, &MaterialQuantitiesChartView::rebuild);
        connect(m_model, &QAbstractItemModel::rowsInserted, this, &MaterialQuantitiesChartView::rebuild);
        connect(m_model, &QAbstractItemModel::rowsRemoved, this, &MaterialQuantitiesChartView::rebuild);
    }
    rebuild();
}

void MaterialQuantitiesChartView::rebuild()
{
    QtCharts::QChart* chart = this->chart();
    chart->removeAllSeries();
    for (QtCharts::QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    if (!m_model || m_model->columnCount() <= ReusedColumn) {
        return;
    }
    auto* series = new QtCharts::QStackedBarSeries;
    series->append(barSet(*m_model, RecoveredColumn));
    series->append(barSet(*m_model, ReusedColumn));
    chart->addSeries(series);

    // Upright bars side by side fit the narrow dock: the names run
    // vertically under them, in the totals view's order.
    QStringList names;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        names.append(m_model->index(row, NameColumn).data().toString());
    }
    auto* materials = new QtCharts::QBarCategoryAxis;
    materials->append(names);
    materials->setLabelsFont(labelFont());
    materials->setLabelsAngle(-90);
    chart->addAxis(materials, Qt::AlignBottom);
    series->attachAxis(materials);
    auto* masses = new QtCharts::QValueAxis;
    masses->setLabelFormat(QStringLiteral("%.0f"));
    masses->setLabelsFont(labelFont());
    masses->setTickCount(5);
    chart->addAxis(masses, Qt::AlignLeft);
    series->attachAxis(masses);
    masses->applyNiceNumbers();
}

QFont MaterialQuantitiesChartView::labelFont() const
{
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    return small;
}

} // namespace Orvane
