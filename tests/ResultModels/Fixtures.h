#pragma once

#include "MaterialQuantitiesProxyModel.h"
#include "MaterialQuantitiesSettings.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QAbstractItemModelTester>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ifc2x3 {
class ExpressDataSet;
class IfcObjectDefinition;
} // namespace ifc2x3

namespace resultmodels {

using Orvane::_ifc2x3::IFC2x3Model;
using Quantities = std::vector<std::pair<QString, double>>;

extern const QString totalSet; // "TotalMaterialQuantities"

/// STEP text of a small IFC 2x3 model, record by record, after a project
/// with SI units (kilograms for masses).
class ModelText
{
public:
    ModelText();
    int add(const std::string& record);
    int project() const { return m_project; }
    /// IFCWALL, IFCSLAB, IFCBEAM, IFCOPENINGELEMENT, IFCELEMENTASSEMBLY...
    int element(const std::string& entity, const std::string& name);
    int wallType(const std::string& name, const std::vector<int>& elements);
    std::unique_ptr<ifc2x3::ExpressDataSet> dataSet() const;
    std::unique_ptr<IFC2x3Model> open() const;

private:
    std::string guid();
    int m_next = 1;
    int m_guid = 0;
    int m_project = 0;
    std::string m_data;
};

ifc2x3::IfcObjectDefinition* objectOf(const IFC2x3Model& model, int key);
QModelIndex indexOf(const IFC2x3Model& model, int key);
void addProperty(ifc2x3::IfcObjectDefinition* object, const QString& setName, const QString& name,
                 const QVariant& value, int valueType);
/// IfcMassMeasure properties, in the order given (the host's child order).
void addQuantities(IFC2x3Model& model, int key, const QString& setName, const Quantities& quantities);

QString samplePath(const QString& name); // empty when not in the shared samples
Orvane::MaterialQuantitiesSettings defaultSettings();

QVariantList columnValues(const QAbstractItemModel& model, int column, int role = Qt::EditRole);
QStringList horizontalHeaders(const QAbstractItemModel& model);

/// Runs QAbstractItemModelTester on a model while alive; its complaints
/// fail the test.
class CheckedModel
{
public:
    explicit CheckedModel(QAbstractItemModel* model);
    ~CheckedModel();

private:
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

/// A model as a computation leaves it: the project's set lists beton, Acier
/// and bois in that order; the building elements are, in data set order,
/// wallA (typed, quantities), wallB (typed, none), slab (quantities) and
/// beam (none). An opening, an element assembly and a virtual element carry
/// quantities too but are no building elements.
class BuildingTest : public ::testing::Test
{
protected:
    void SetUp() override;
    /// Detailed row of an element.
    int proxyRow(int key) const { return detailed->mapFromSource(indexOf(*model, key)).row(); }
    int sourceRow(int key) const { return indexOf(*model, key).row(); }

    std::unique_ptr<IFC2x3Model> model;
    int project = 0, wallA = 0, wallB = 0, opening = 0, assembly = 0, slab = 0, virtualElement = 0, beam = 0;
    std::unique_ptr<Orvane::MaterialQuantitiesProxyModel> detailed;
};

} // namespace resultmodels
