#pragma once

#include "MaterialLibrary.h"
#include "MaterialQuantitiesSettings.h"
#include "TypeInputs.h"
#include "TypeInputsSuggestion.h"

#include <QCoreApplication>
#include <QHash>
#include <QModelIndex>

#include <memory>
#include <optional>

namespace Step {
class BaseEntity;
}

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// Suggests the inputs a type lacks from what the model carries: the
/// materials associated with the type (else with its instances), the base
/// quantities of its instances at the settings' paths, and the densities of
/// a material library.
///
/// The functional unit is the volume when the instances carry one, else the
/// area for layered elements, the length for linear ones, the unit
/// otherwise. The mass is then the density (volume), the layers' thickness ×
/// density (area), or the instances' weights over their quantities. The
/// composition gives each material its share of the mass in percent.
class TypeInputsSuggester
{
    Q_DECLARE_TR_FUNCTIONS(Orvane::TypeInputsSuggester)
public:
    TypeInputsSuggester(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings,
                        MaterialLibrary library);

    /// One suggestion per type, in the order of the table's types.
    QVector<TypeInputsSuggestion> suggest(const TypeInputsTable& table) const;
    TypeInputsSuggestion suggest(const TypeInputs& inputs) const;

    /// The words the computation recognises for each unit, written as
    /// suggestions.
    static QString wordOf(MaterialQuantitiesCalculator::FunctionalUnit unit);

private:
    struct Layer
    {
        QString material;
        double thickness = 0.0; // metres
    };
    /// What the type's material association says.
    struct Materials
    {
        enum Kind { None, Single, LayerSet, List };
        Kind kind = None;
        QString setName;
        QVector<Layer> layers; // a single material is one layer of no thickness
    };
    /// Sums of the instances' quantities in SI units, and how many had each.
    struct Sums
    {
        double value = 0.0;
        double weight = 0.0; // of the instances that have both
        int count = 0;
        int weighed = 0;
    };
    struct Facts
    {
        Materials materials;
        Sums volume, area, length, unit;
        QString entity;
    };

    Facts factsOf(const TypeInputs& inputs) const;
    Materials materialsOf(const Step::BaseEntity* object) const;
    Materials materialsOfType(ifc2x3::IfcObjectDefinition* type, const QVector<int>& rows) const;
    void addQuantities(const QModelIndex& element, Facts& facts) const;
    /// The sum of the element's weights in the quantity sets, or -1.
    double weightOf(const QModelIndex& element) const;

    MaterialQuantitiesCalculator::FunctionalUnit unitFor(const Facts& facts, QString* source) const;
    std::optional<double> massFor(MaterialQuantitiesCalculator::FunctionalUnit unit, const Facts& facts,
                                  QString* source) const;
    std::optional<double> densityMass(const Facts& facts, bool perArea, QString* source) const;
    std::optional<QVector<TypeInputs::Share>> compositionFor(const Facts& facts, QString* source) const;
    /// kg/m³ of a material, none when the library has no density for it.
    std::optional<double> densityOf(const QString& material) const;
    QStringList materialsWithoutDensity(const Facts& facts) const;
    /// "200 mm Béton armé, 2500 kg/m³".
    QString layerText(const Layer& layer) const;
    QString materialsText(const Facts& facts) const;
    const QVector<int>& rowsOf(ifc2x3::IfcObjectDefinition* type) const;

    _ifc2x3::IFC2x3Model* model;
    MaterialQuantitiesSettings settings;
    MaterialLibrary library;
    /// Reads the instances' quantities as the computation will.
    std::unique_ptr<const MaterialQuantitiesCalculator> calculator;
    QStringList quantitySets;
    /// Building element rows by type, read once.
    mutable std::optional<QHash<const ifc2x3::IfcObjectDefinition*, QVector<int>>> instanceRows;
};

} // namespace Orvane
