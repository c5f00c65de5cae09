#pragma once

#include <QPointer>
#include <QtCharts/QChartView>

class QAbstractItemModel;

namespace Orvane {

/// Stacked bars of the mass of each material, to recover and re-employed,
/// drawn from a totals model (name, to recover, re-employed) in that model's
/// row order, so that it follows the order the user sorts the totals in.
class MaterialQuantitiesChartView : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit MaterialQuantitiesChartView(QWidget* parent = nullptr);
    ~MaterialQuantitiesChartView() override;

    /// The totals to draw; null empties the chart. Not owned.
    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return m_model; }

private:
    void rebuild();
    QFont labelFont() const;

    QPointer<QAbstractItemModel> m_model;
};

} // namespace Orvane
