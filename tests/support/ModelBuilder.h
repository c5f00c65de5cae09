#pragma once

#include "ifc2x3/ExpressDataSet.h"

#include <QString>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Orvane::_ifc2x3 {
class IFC2x3Model;
}

namespace testsupport {

// ---------------------------------------------------------------- STEP text

/// A complete exchange file around the given data section lines.
std::string stepFile(const std::string& data, const std::string& schema = "IFC2X3");
/// Reads STEP text with every record decoded at once; a record that does not
/// read or any warning fails the current test, so that a typo in a test
/// model cannot pass unnoticed as a missing instance. Null when it does not
/// open at all.
std::unique_ptr<ifc2x3::ExpressDataSet> openStrict(const std::string& text);

/// A quoted STEP string, non-ASCII characters written as \X2\...\X0\.
std::string str(const QString& text);
/// A STEP real ("2." for 2.0).
std::string real(double value);
std::string label(const QString& text);
std::string number(double value); // IFCREAL(...)
std::string mass(double value);   // IFCMASSMEASURE(...)
std::string boolean(char state);  // IFCBOOLEAN(.T.), state 'T', 'F' or 'U' (written IFCLOGICAL)
std::string qVolume(const QString& name, double value);
std::string qArea(const QString& name, double value);
std::string qLength(const QString& name, double value);
std::string qWeight(const QString& name, double value);

/// The inputs of a type in the calculator's default property layout (sets
/// Unite_Fonctionnelle, Pourcentage_PMIB and Réemploi); empty fields are left
/// out of the model.
struct TypeInputs
{
    QString unit;                                        // Unite_Fonctionnelle/Type, a label
    std::string massPerUnit;                             // Unite_Fonctionnelle/Masse_par_UF, a STEP value
    std::vector<std::pair<QString, std::string>> shares; // Pourcentage_PMIB children
    std::string reused;                                  // Réemploi/Réemployé, a STEP value
};

/// Writes small IFC 2x3 models as STEP text, one record per call.
class ModelBuilder
{
public:
    /// The project's SI units: lengths in metres or millimetres, masses in
    /// kilograms or grams; areas and volumes in square and cubic metres.
    enum Units { Metres = 0, Millimetres = 1, Grams = 2 };
    /// A project of that name with those units; no project when the name is null.
    explicit ModelBuilder(int units = Metres, const QString& projectName = QStringLiteral("Project"));

    /// Adds a record such as "IFCWALL(...)" and returns its key.
    int add(const std::string& record);
    std::string guid();

    int project() const { return m_project; }
    int building(const QString& name);
    int storey(int building, const QString& name);
    /// An element of that entity (IFCWALL, IFCDOOR, IFCOPENINGELEMENT...),
    /// contained in the spatial structure when one is given.
    int element(const std::string& entity, const QString& name, int container = 0);
    /// A type object of that entity (IFCWALLTYPE, IFCTYPEOBJECT...) typing the elements.
    int type(const std::string& entity, const QString& name, const std::vector<int>& propertySets = {},
             const std::vector<int>& elements = {});
    int typeWith(const QString& name, const TypeInputs& inputs, const std::vector<int>& elements);
    /// Walls of one new type with these inputs, one per list of base
    /// quantities, in the container when given; the walls' keys are appended
    /// to walls and the type's key is returned.
    int typedWalls(const TypeInputs& inputs, const std::vector<std::vector<std::string>>& quantities,
                   std::vector<int>& walls, int container = 0);
    int propertySet(const QString& name, const std::vector<std::pair<QString, std::string>>& properties);
    void defineBy(int propertySet, const std::vector<int>& objects);
    void baseQuantities(int element, const std::vector<std::string>& quantities,
                        const QString& name = QStringLiteral("BaseQuantities"));
    void contain(int structure, const std::vector<int>& elements);
    void aggregate(int parent, const std::vector<int>& parts);
    void voids(int host, int opening);
    /// Materials: a material, a layer set of (material, thickness in the
    /// project's length unit) layers, its usage by occurrences, a list.
    int material(const QString& name);
    int layerSet(const QString& name, const std::vector<std::pair<int, double>>& layers);
    int layerSetUsage(int layerSet);
    int materialList(const std::vector<int>& materials);
    /// Associates a material (or a set, usage or list) with the objects.
    void associate(int material, const std::vector<int>& objects);
    void fills(int opening, int filling);

    std::string text() const { return stepFile(m_data); }
    /// The host's model of the text (or a model class derived from it);
    /// null when the text does not open.
    template <class Model = Orvane::_ifc2x3::IFC2x3Model> std::unique_ptr<Model> open() const
    {
        auto dataSet = openStrict(text());
        return dataSet ? std::make_unique<Model>(std::move(dataSet)) : nullptr;
    }

private:
    int m_next = 1;
    int m_project = 0;
    int m_guid = 0;
    std::string m_data;
};

} // namespace testsupport
