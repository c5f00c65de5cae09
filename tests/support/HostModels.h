#pragma once

// Reads and edits of the host's model that the plug-in's tests share. Kept
// inline: only the programs that link the host include it.
#include "ModelBuilder.h"
#include "QtPrinters.h"

#include "Orvane/Ifc2x3CC/PropertySetUtils.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "Orvane/_ifc2x3/IFC2x3Property.h"

#include "ifc2x3/generated/Enums.h"

#include <QMap>
#include <QModelIndex>
#include <QStringList>

#include <gtest/gtest.h>

namespace testsupport {

using Orvane::_ifc2x3::IFC2x3Model;

/// Opens a file as the host does; null (and a test failure) when it can't.
inline std::unique_ptr<IFC2x3Model> openFile(const QString& path)
{
    QString message;
    auto model = IFC2x3Model::open(path, &message);
    if (!model) {
        ADD_FAILURE() << message.toStdString();
    }
    return model;
}

inline ifc2x3::IfcObjectDefinition* objectOf(const IFC2x3Model& model, int key)
{
    return dynamic_cast<ifc2x3::IfcObjectDefinition*>(model.dataSet()->get(static_cast<Step::Id>(key)));
}

inline QModelIndex indexOf(const IFC2x3Model& model, int key)
{
    return model.index(objectOf(model, key));
}

/// The value of the property at a path from an object, invalid when absent.
inline QVariant valueAt(const IFC2x3Model& model, int key, const QString& path)
{
    const auto property = model.getProperty(indexOf(model, key), path);
    return property ? property->value() : QVariant();
}

/// The properties of the object's first set of that name, name to value.
inline QMap<QString, double> setValues(const IFC2x3Model& model, int key, const QString& setName)
{
    QMap<QString, double> values;
    const auto set = model.getProperty(indexOf(model, key), QStringList{"Properties", setName});
    for (int i = 0; set && i < set->childCount(); ++i) {
        const Step::RefPtr<Orvane::CoreProperty> child(set->getChildProperty(i));
        values.insert(child->name(), child->value().toDouble());
    }
    return values;
}

/// Number of sets of that name the object carries.
inline int setCount(const IFC2x3Model& model, int key, const QString& setName)
{
    int count = 0;
    const auto sets = model.getProperty(indexOf(model, key), QStringLiteral("Properties"));
    for (int i = 0; sets && i < sets->childCount(); ++i) {
        count += Step::RefPtr<Orvane::CoreProperty>(sets->getChildProperty(i))->name() == setName ? 1 : 0;
    }
    return count;
}

/// How a property is stored: its IFC value type and the SI unit attached.
struct StoredValue
{
    std::string valueType; // IFCVOLUMEMEASURE...
    std::string unitPrefix;
    std::string unitName; // empty when no unit is attached
};

inline StoredValue storedValue(const IFC2x3Model& model, int key, const QString& setName, const QString& name)
{
    StoredValue stored;
    const auto property = model.getProperty(indexOf(model, key), QStringList{"Properties", setName, name});
    const auto* node = dynamic_cast<const Orvane::_ifc2x3::IFC2x3Property*>(property.get());
    const auto* single = node ? dynamic_cast<const ifc2x3::IfcPropertySingleValue*>(node->entity()) : nullptr;
    if (!single) {
        return stored;
    }
    stored.valueType = single->argument(2).text();
    if (const auto* unit = dynamic_cast<const ifc2x3::IfcSIUnit*>(single->resolve(single->argument(3)))) {
        stored.unitPrefix = unit->getPrefix();
        stored.unitName = unit->getName();
    }
    return stored;
}

/// Adds a single-value property (masses in kilograms) to an object of the model.
inline void addProperty(ifc2x3::IfcObjectDefinition* object, const QString& setName, const QString& name,
                        const QVariant& value, int valueType)
{
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(Orvane::Ifc2x3CC::PropertySetUtils::addProperty(
        object, Step::String(setName.toStdWString()), Step::String(name.toStdWString()), value,
        static_cast<ifc2x3::IfcValue::IfcValue_select>(valueType),
        valueType == ifc2x3::IfcValue::IfcMassMeasure ? ifc2x3::IfcSIPrefix_KILO : ifc2x3::IfcSIPrefix_UNSET, true))
        << name.toStdString();
}

/// Masses as a computation stores them, in the order given.
inline void addMasses(IFC2x3Model& model, int key, const QString& setName,
                      const std::vector<std::pair<QString, double>>& masses)
{
    for (const auto& [material, value] : masses) {
        addProperty(objectOf(model, key), setName, material, value, ifc2x3::IfcValue::IfcMassMeasure);
    }
}

/// The sets the default settings read a type's inputs from.
inline std::vector<std::string> typeInputSetNames()
{
    return {"Unite_Fonctionnelle", "Pourcentage_PMIB", "R\u00e9emploi"};
}

/// Removes the sets of the type inputs from every type of the model, as a
/// model comes from an authoring tool before anyone filled them in.
inline void stripTypeInputs(IFC2x3Model& model)
{
    std::vector<ifc2x3::IfcObjectDefinition*> types;
    for (const auto& type : model.dataSet()->getAllIfcTypeObject()) {
        types.push_back(type.get());
    }
    EXPECT_FALSE(Orvane::Ifc2x3CC::PropertySetUtils::removePropertySets(model.editContext(), types, typeInputSetNames())
                     .empty());
}

/// Every value of the sets of these names, by GlobalId of the object, then
/// set, then property: what a computation stored, whatever the order of the
/// rows, sets and properties.
inline QMap<QString, QMap<QString, QMap<QString, double>>> valuesOfSets(const IFC2x3Model& model,
                                                                        const QStringList& setNames)
{
    QMap<QString, QMap<QString, QMap<QString, double>>> values;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        const auto sets = model.getProperty(index, QStringLiteral("Properties"));
        for (int i = 0; sets && i < sets->childCount(); ++i) {
            const Step::RefPtr<Orvane::CoreProperty> set(sets->getChildProperty(i));
            if (!setNames.contains(set->name())) {
                continue;
            }
            QMap<QString, double>& properties =
                values[model.data(index.siblingAtColumn(IFC2x3Model::GlobalIdColumn)).toString()][set->name()];
            for (int j = 0; j < set->childCount(); ++j) {
                const Step::RefPtr<Orvane::CoreProperty> property(set->getChildProperty(j));
                properties.insert(property->name(), property->value().toDouble());
            }
        }
    }
    return values;
}

} // namespace testsupport
