#pragma once

#include <QString>

namespace Orvane {

/// The unit the result tables show masses in. Models and workbooks keep
/// kilograms: only the text shown changes.
///
/// The result models give a mass column's header as "<title> (<symbol>)"
/// in the display role, the title alone in the edit role, and the symbol
/// in SymbolRole; a mass cell's display role is the number in this unit,
/// its edit role the kilograms stored.
class MassDisplayUnit
{
public:
    enum Unit { Kilogram, Tonne };

    /// Header role of mass columns: the symbol of the unit shown, "kg" or "t".
    static constexpr int SymbolRole = Qt::UserRole + 64;

    MassDisplayUnit(Unit unit = Kilogram) : shown(unit) {}

    Unit unit() const { return shown; }
    QString symbol() const;
    double fromKilograms(double kilograms) const;
    /// "Béton (kg)".
    QString title(const QString& name) const;

    /// The unit chosen last in this application, kilograms at first.
    static MassDisplayUnit saved();
    static void save(MassDisplayUnit unit);

    bool operator==(MassDisplayUnit other) const { return shown == other.shown; }
    bool operator!=(MassDisplayUnit other) const { return shown != other.shown; }

private:
    Unit shown;
};

} // namespace Orvane
