#pragma once

#include "MaterialQuantitiesCalculator.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace ifc2x3 {
class IfcObjectDefinition;
}

namespace Orvane {

/// What one element type supplies to the computation, as the model holds
/// it: read through the configured paths on the first building element of
/// the type (in model order), as the computation reads them.
struct TypeInputs
{
    Q_DECLARE_TR_FUNCTIONS(Orvane::TypeInputs)

public:
    struct Share
    {
        QString material;
        /// A double, or the text of a value that is not a number.
        QVariant value;
    };

    ifc2x3::IfcObjectDefinition* type = nullptr;
    int row = -1;             // the type's row in the host model
    int firstElementRow = -1; // the row its inputs are read through
    int instances = 0;        // its building elements
    QString globalId;
    QString name;
    QString entity;

    /// The text as written; null when there is no such property.
    QVariant functionalUnit;
    MaterialQuantitiesCalculator::FunctionalUnit unit = MaterialQuantitiesCalculator::Undefined;
    /// A double, the text of a value that is not a number, or null.
    QVariant massPerFunctionalUnit;
    /// -1 when there is no flag (taken as not reused), else 0 or 1.
    int reused = -1;
    bool hasComposition = false;
    QVector<Share> shares; // in the order of the set

    /// The share of a material as written (percentage or fraction), or
    /// null when the type has none.
    QVariant shareOf(const QString& material) const;
    /// Whether the shares are written as percentages (their sum is above
    /// the fractions' range), as the computation tells them apart.
    bool sharesArePercentages() const;
    /// The inputs the computation lacks for this type, as the user reads
    /// them; empty when it has everything.
    QStringList missing() const;
    /// "complete", or what is missing and for how many instances.
    QString status() const;
    bool isComplete() const { return missing().isEmpty(); }
};

/// Every type of a model that has building elements, and the materials
/// their compositions name, in order of first appearance.
struct TypeInputsTable
{
    QVector<TypeInputs> types;
    QStringList materials;
    /// The index in types of the type at a model row, or -1.
    int indexOfRow(int row) const;
};

} // namespace Orvane
