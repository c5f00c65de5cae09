#include "TypeInputsSuggestion.h"

namespace Orvane {

bool TypeInputsSuggestion::has(Input input) const
{
    switch (input) {
    case FunctionalUnit:
        return functionalUnit.has_value();
    case MassPerFunctionalUnit:
        return massPerFunctionalUnit.has_value();
    case Composition:
        return composition.has_value();
    default:
        return !isEmpty();
    }
}

TypeInputsChange TypeInputsSuggestion::change(int inputs) const
{
    TypeInputsChange change;
    change.type = type;
    change.globalId = globalId;
    if (inputs & FunctionalUnit) {
        change.functionalUnit = functionalUnit;
    }
    if (inputs & MassPerFunctionalUnit) {
        change.massPerFunctionalUnit = massPerFunctionalUnit;
    }
    if ((inputs & Composition) && composition) {
        QVector<TypeInputs::Share> shares = *composition;
        // Written as a number so that the user's share replaces it in place.
        for (TypeInputs::Share& share : shares) {
            if (share.value.isNull()) {
                share.value = 0.0;
            }
        }
        change.composition = shares;
    }
    return change;
}

} // namespace Orvane
