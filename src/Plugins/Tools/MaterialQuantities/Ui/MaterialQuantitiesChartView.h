#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MassDisplayUnit.h"

#include <QPointer>
#include <QStringList>
#include <QtCharts/QChartView>

class QAbstractItemModel;

namespace Orvane {

/// Horizontal bars of the mass of each material of a totals model (name, to
/// recover, re-employed), the heaviest on top, the names in full on the left
/// and the mass unit under the axis. The view asks for the room its names
/// and its bars need (a row per material) and is meant to sit in a scroll
/// area.
///
/// On the linear scale each bar stacks the mass to recover and the mass
/// re-employed. The logarithmic scale, which keeps light materials readable
/// beside one that outweighs them all, draws the two masses side by side,
/// each from the axis minimum: stacked on a log axis, the second segment
/// would span log(a + b) - log(a), whose length tells nothing of b.
class MaterialQuantitiesChartView : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit MaterialQuantitiesChartView(QWidget* parent = nullptr);
    ~MaterialQuantitiesChartView() override;

    /// The totals to draw; null empties the chart. Not owned.
    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return m_model; }

    void setLogarithmic(bool logarithmic);
    bool isLogarithmic() const { return m_logarithmic; }

    /// The unit the masses are drawn in; kilograms at first.
    void setMassUnit(MassDisplayUnit unit);
    MassDisplayUnit massUnit() const { return m_unit; }

    /// The materials from the top bar down: heaviest first.
    QStringList materials() const { return m_materials; }

private:
    struct Bar
    {
        QString name;
        double recovered = 0.0;
        double reused = 0.0;
        double total() const { return recovered + reused; }
    };

    void rebuild();
    void clearChart();
    /// The model's materials, heaviest first, in the mass unit.
    QVector<Bar> readBars() const;
    void addLinearSeries(const QVector<Bar>& bottomUp);
    void addLogarithmicSeries(const QVector<Bar>& bottomUp);
    void attachAxes(QtCharts::QAbstractSeries* series, QtCharts::QAbstractAxis* masses, const QVector<Bar>& bottomUp);
    /// Room for every name in full and a row per bar.
    void fitToBars(const QVector<Bar>& bars);
    QString massTitle() const;
    /// A mass column's title, without the unit the model shows it in.
    QString columnTitle(int column) const;

    QPointer<QAbstractItemModel> m_model;
    bool m_logarithmic = false;
    MassDisplayUnit m_unit;
    QStringList m_materials;
};

} // namespace Orvane
