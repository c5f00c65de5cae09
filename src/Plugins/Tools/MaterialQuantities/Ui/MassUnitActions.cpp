#include "MassUnitActions.h"

#include <QAction>
#include <QWidget>

namespace Orvane {

MassUnitActions::MassUnitActions(QObject* parent) : QActionGroup(parent)
{
    const MassDisplayUnit saved = MassDisplayUnit::saved();
    addUnit(MassDisplayUnit::Kilogram, tr("Show masses in kg"), saved);
    addUnit(MassDisplayUnit::Tonne, tr("Show masses in t"), saved);
    connect(this, &QActionGroup::triggered, this, [this] {
        MassDisplayUnit::save(unit());
        emit unitChosen(unit());
    });
}

MassUnitActions::~MassUnitActions() = default;

void MassUnitActions::addUnit(MassDisplayUnit unit, const QString& text, MassDisplayUnit checked)
{
    QAction* action = addAction(text);
    action->setCheckable(true);
    action->setChecked(unit == checked);
    action->setData(static_cast<int>(unit.unit()));
}

MassDisplayUnit MassUnitActions::unit() const
{
    const QAction* checked = checkedAction();
    return checked ? static_cast<MassDisplayUnit::Unit>(checked->data().toInt()) : MassDisplayUnit::Kilogram;
}

void MassUnitActions::addTo(QWidget* widget)
{
    widget->addActions(actions());
    widget->setContextMenuPolicy(Qt::ActionsContextMenu);
}

} // namespace Orvane
