#include "MaterialQuantitiesChartView.h"

#include <QAbstractItemModel>
#include <QGraphicsLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QHorizontalBarSeries>
#include <QtCharts/QHorizontalStackedBarSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace Orvane {

namespace {

enum Column { NameColumn = 0, RecoveredColumn = 1, ReusedColumn = 2 };

/// Qt Charts gives the axes beside the plot at most 40 % of the chart's
/// width and cuts longer names: the names are kept under this share.
constexpr double namesShare = 0.35;
constexpr int minimumPlotWidth = 160;

double massOf(const QAbstractItemModel& model, int row, int column)
{
    // The edit role holds the kilograms, whatever unit the display shows.
    return model.index(row, column).data(Qt::EditRole).toDouble();
}

template <class Value> QtCharts::QBarSet* barSet(const QString& name, const QVector<Value>& values)
{
    auto* set = new QtCharts::QBarSet(name);
    for (const Value value : values) {
        set->append(value);
    }
    return set;
}

} // namespace

MaterialQuantitiesChartView::MaterialQuantitiesChartView(QWidget* parent) : QtCharts::QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignBottom);
    chart()->setMargins(QMargins(2, 2, 8, 2));
    chart()->layout()->setContentsMargins(0, 0, 0, 0);
    chart()->setBackgroundRoundness(0);
    // Thousands grouped as the user's language groups them.
    chart()->setLocalizeNumbers(true);
}

MaterialQuantitiesChartView::~MaterialQuantitiesChartView() = default;

void MaterialQuantitiesChartView::setModel(QAbstractItemModel* model)
{
    if (m_model) {
        disconnect(m_model, nullptr, this, nullptr);
    }
    m_model = model;
    if (m_model) {
        // The bars keep their own order: a sort of the model changes nothing.
        connect(m_model, &QAbstractItemModel::modelReset, this, &MaterialQuantitiesChartView::rebuild);
        connect(m_model, &QAbstractItemModel::dataChanged, this, &MaterialQuantitiesChartView::rebuild);
        connect(m_model, &QAbstractItemModel::rowsInserted, this, &MaterialQuantitiesChartView::rebuild);
        connect(m_model, &QAbstractItemModel::rowsRemoved, this, &MaterialQuantitiesChartView::rebuild);
    }
    rebuild();
}

void MaterialQuantitiesChartView::setLogarithmic(bool logarithmic)
{
    if (m_logarithmic != logarithmic) {
        m_logarithmic = logarithmic;
        rebuild();
    }
}

void MaterialQuantitiesChartView::setMassUnit(MassDisplayUnit unit)
{
    if (m_unit != unit) {
        m_unit = unit;
        rebuild();
    }
}

QString MaterialQuantitiesChartView::massTitle() const
{
    return tr("Mass (%1)").arg(m_unit.symbol());
}

QString MaterialQuantitiesChartView::columnTitle(int column) const
{
    // The edit role gives the title alone, the display role may add the unit.
    const QVariant title = m_model->headerData(column, Qt::Horizontal, Qt::EditRole);
    return title.isValid() ? title.toString() : m_model->headerData(column, Qt::Horizontal).toString();
}

void MaterialQuantitiesChartView::clearChart()
{
    QtCharts::QChart* chart = this->chart();
    chart->removeAllSeries();
    for (QtCharts::QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    m_materials.clear();
}

QVector<MaterialQuantitiesChartView::Bar> MaterialQuantitiesChartView::readBars() const
{
    QVector<Bar> bars;
    bars.reserve(m_model->rowCount());
    for (int row = 0; row < m_model->rowCount(); ++row) {
        Bar bar;
        bar.name = m_model->index(row, NameColumn).data().toString();
        bar.recovered = m_unit.fromKilograms(massOf(*m_model, row, RecoveredColumn));
        bar.reused = m_unit.fromKilograms(massOf(*m_model, row, ReusedColumn));
        bars.append(bar);
    }
    // Equal masses keep the model's order of materials.
    std::stable_sort(bars.begin(), bars.end(), [](const Bar& a, const Bar& b) { return a.total() > b.total(); });
    return bars;
}

void MaterialQuantitiesChartView::rebuild()
{
    clearChart();
    if (!m_model || m_model->columnCount() <= ReusedColumn) {
        return;
    }
    const QVector<Bar> bars = readBars();
    for (const Bar& bar : bars) {
        m_materials.append(bar.name);
    }
    // The first category is drawn at the bottom: the lightest goes first
    // for the heaviest to be on top.
    QVector<Bar> bottomUp(bars.crbegin(), bars.crend());
    if (m_logarithmic) {
        addLogarithmicSeries(bottomUp);
    } else {
        addLinearSeries(bottomUp);
    }
    fitToBars(bars);
}

void MaterialQuantitiesChartView::addLinearSeries(const QVector<Bar>& bottomUp)
{
    QVector<double> recovered;
    QVector<double> reused;
    double largest = 0.0;
    for (const Bar& bar : bottomUp) {
        recovered.append(bar.recovered);
        reused.append(bar.reused);
        largest = std::max(largest, bar.total());
    }
    auto* series = new QtCharts::QHorizontalStackedBarSeries;
    series->append(barSet(columnTitle(RecoveredColumn), recovered));
    series->append(barSet(columnTitle(ReusedColumn), reused));
    chart()->addSeries(series);

    auto* masses = new QtCharts::QValueAxis;
    masses->setLabelFormat(largest >= 10.0 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
    masses->setTickCount(5);
    attachAxes(series, masses, bottomUp);
    masses->applyNiceNumbers();
}

void MaterialQuantitiesChartView::addLogarithmicSeries(const QVector<Bar>& bottomUp)
{
    double smallest = 0.0;
    double largest = 0.0;
    for (const Bar& bar : bottomUp) {
        for (const double mass : {bar.recovered, bar.reused}) {
            if (mass > 0.0) {
                smallest = smallest > 0.0 ? std::min(smallest, mass) : mass;
                largest = std::max(largest, mass);
            }
        }
    }
    // Whole decades around the masses; nothing to draw gives one decade.
    const double low = smallest > 0.0 ? std::pow(10.0, std::floor(std::log10(smallest))) : 1.0;
    const double high = std::max(largest > 0.0 ? std::pow(10.0, std::ceil(std::log10(largest))) : 10.0, low * 10.0);
    // A mass of zero has no logarithm: its bar ends where it starts.
    const auto drawn = [low](double mass) { return mass > 0.0 ? mass : low; };
    QVector<double> recovered;
    QVector<double> reused;
    for (const Bar& bar : bottomUp) {
        recovered.append(drawn(bar.recovered));
        reused.append(drawn(bar.reused));
    }
    auto* series = new QtCharts::QHorizontalBarSeries;
    series->append(barSet(columnTitle(RecoveredColumn), recovered));
    series->append(barSet(columnTitle(ReusedColumn), reused));
    chart()->addSeries(series);

    auto* masses = new QtCharts::QLogValueAxis;
    masses->setBase(10.0);
    masses->setLabelFormat(low >= 1.0 ? QStringLiteral("%.0f") : QStringLiteral("%g"));
    attachAxes(series, masses, bottomUp);
    masses->setRange(low, high);
}

void MaterialQuantitiesChartView::attachAxes(QtCharts::QAbstractSeries* series, QtCharts::QAbstractAxis* masses,
                                             const QVector<Bar>& bottomUp)
{
    auto* materials = new QtCharts::QBarCategoryAxis;
    QStringList names;
    for (const Bar& bar : bottomUp) {
        names.append(bar.name);
    }
    materials->append(names);
    materials->setLabelsFont(font());
    chart()->addAxis(materials, Qt::AlignLeft);
    series->attachAxis(materials);

    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    masses->setLabelsFont(small);
    masses->setTitleFont(small);
    masses->setTitleText(massTitle());
    chart()->addAxis(masses, Qt::AlignBottom);
    series->attachAxis(masses);
}

void MaterialQuantitiesChartView::fitToBars(const QVector<Bar>& bars)
{
    const QFontMetrics metrics(font());
    int namesWidth = 0;
    for (const Bar& bar : bars) {
        namesWidth = std::max(namesWidth, metrics.horizontalAdvance(bar.name));
    }
    // The names' column with its padding and ticks, and some plot beside it.
    const int namesColumn = namesWidth + 4 * metrics.averageCharWidth();
    const int plotWidth = std::max(minimumPlotWidth, static_cast<int>(std::ceil(namesColumn / namesShare)));
    setMinimumWidth(plotWidth + 16);
    // A row per material tall enough for its name; the axis, its title and
    // the legend under them.
    const int rowHeight = metrics.height() * 2;
    setMinimumHeight(bars.size() * rowHeight + 5 * metrics.height() + 24);
}

} // namespace Orvane
