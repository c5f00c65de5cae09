#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MassDisplayUnit.h"

#include <QActionGroup>

namespace Orvane {

/// The choice between "Show masses in kg" and "Show masses in t", offered
/// on the context menus of the result views' headers and remembered for
/// the next start (MassDisplayUnit::save).
class MassUnitActions : public QActionGroup
{
    Q_OBJECT
public:
    /// Checks the unit chosen last.
    explicit MassUnitActions(QObject* parent);
    ~MassUnitActions() override;

    MassDisplayUnit unit() const;
    /// Offers the choice on the widget's context menu.
    void addTo(QWidget* widget);

signals:
    void unitChosen(MassDisplayUnit unit);

private:
    void addUnit(MassDisplayUnit unit, const QString& text, MassDisplayUnit checked);
};

} // namespace Orvane
