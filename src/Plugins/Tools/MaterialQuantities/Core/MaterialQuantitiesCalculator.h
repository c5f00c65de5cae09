#pragma once

#include "MaterialQuantitiesSettings.h"

#include "Orvane/Ifc2x3CC/PropertySetUtils.h"
#include "Step/String.h"

#include <QHash>
#include <QMap>
#include <QModelIndex>
#include <QObject>

#include <log4cplus/logger.h>

#include <memory>
#include <optional>
#include <vector>

namespace ifc2x3 {
class IfcBuilding;
class IfcObjectDefinition;
} // namespace ifc2x3

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}
class CoreProperty;

/// Computes the mass of every material of every building element of an IFC
/// 2x3 model from the properties it carries, and writes the results into the
/// model as property sets (elements, buildings, types, project).
class MaterialQuantitiesCalculator : public QObject
{
    Q_OBJECT
public:
    enum FunctionalUnit { Undefined = 0, Volume = 1, Area = 2, Length = 3, Unit = 4 };
    /// On how many building elements of the last pass each input was found,
    /// to tell the user which property path to look at.
    struct InputCounts
    {
        int elements = 0;
        int functionalUnit = 0; // a recognised unit
        int massPerFunctionalUnit = 0;
        int materialComposition = 0; // at least one positive share
        int functionalUnitValue = 0; // the unit's base quantity
    };

    MaterialQuantitiesCalculator(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings);
    ~MaterialQuantitiesCalculator() override;

    /// The whole pass; true when at least one element had every input (a
    /// mass per functional unit, a functional-unit value and a composition)
    /// and received its results. All or nothing: a pass that fails or is
    /// stopped leaves the model as it found it, earlier results included.
    bool computeQuantities();
    /// How many times a pass over the model emits calculatedItem() at most:
    /// the old results are removed in steps, then each element, building
    /// and type is one, and the project one more.
    static qint64 progressSteps(_ifc2x3::IFC2x3Model* model);
    /// Whether an element's result set holds a material quantity: elements
    /// whose inputs were missing get a set of zeros, which is none.
    static bool holdsQuantities(const CoreProperty* resultSet);
    QMap<int, QString> getQuantitiesPropPathMap() const { return quantitiesPropPathMap; }
    /// Why a building element has no material quantity: the first input of
    /// it missing, in the order the computation needs them.
    struct MissingReason
    {
        enum Kind {
            None,
            NoType,
            NoFunctionalUnit,
            UnrecognisedFunctionalUnit, // detail: the unit's text
            NoQuantity,                 // detail: the paths tried
            NoMass,
            MassNotANumber, // detail: the value found
            NoComposition,
            NoPositiveShare,
            /// Every input is there: computed before they were.
            NotComputed
        };
        Kind kind = None;
        QString detail;
    };
    InputCounts getInputCounts() const { return inputCounts; }
    MissingReason getMissingReason(const QModelIndex& index);
    /// The reason of each building element (by model row) whose result set
    /// holds no quantity. Rows known to hold some, such as those the last
    /// pass wrote, are not read again.
    QHash<int, MissingReason> getMissingReasons(const std::vector<int>& rowsKnownToHoldQuantities = {});
    /// Rows to which the last successful pass wrote a result set holding a
    /// quantity other than zero.
    const std::vector<int>& rowsHoldingQuantities() const { return rowsWritten; }
    /// The reason as the user reads it, and a count of elements for it.
    static QString reasonText(const MissingReason& reason);
    /// The reasons of elements as the user reads them, by model row.
    static QHash<int, QString> reasonTexts(const QHash<int, MissingReason>& reasons);
    static QString reasonCountText(MissingReason::Kind kind, int count);
    /// The quantity path that gives the element's functional-unit value
    /// ("UF_UNITE" for one counted per unit), empty when none does.
    QString getQuantityPath(const QModelIndex& index);

    /// The settings' quantity paths of a unit, as written and split; null
    /// for a unit without (Undefined, Unit).
    const QStringList* quantityPathsOf(FunctionalUnit unit, const QList<QStringList>** split = nullptr) const;
    /// The element's value in that unit through the settings' paths, and the
    /// path that gave it; -1.0 when none does. Logs nothing.
    double readFunctionalUnitValue(const QModelIndex& index, FunctionalUnit unit, QString* path) const;
    /// Whether shares adding up to sum are percentages rather than fractions.
    static bool sharesArePercentages(double sum);
    /// The unit a functional-unit text names (its first keyword), or
    /// Undefined.
    static FunctionalUnit functionalUnitOf(const QString& text);
    FunctionalUnit getFunctionalUnit(const QModelIndex& index) const;
    double getFunctionalUnitValue(const QModelIndex& index);
    double getMassPerFunctionalUnit(const QModelIndex& index) const;
    QMap<QString, double> getMaterialComposition(const QModelIndex& index) const;
    QMap<QString, double> getQuantities(const QModelIndex& index);
    /// Whether the element's materials go to re-employment rather than to
    /// recovery, as a pass reads it: not when its input says nothing.
    bool isReused(const QModelIndex& index) const;
    /// Model rows of the building elements: every IfcElement except feature
    /// elements, element assemblies and virtual elements, in data set order.
    static QList<int> getBuildingElementRows(const _ifc2x3::IFC2x3Model* model);

    void createQuantities(ifc2x3::IfcObjectDefinition* object, const QMap<QString, double>& quantities,
                          const QString& propertySetName);
    void removeQuantities();
    int getMissingQuantitiesCount();

    /// The project's mass unit when it is not the kilogram while a building
    /// element's mass per functional unit is typed as a mass measure (the
    /// number is then taken as kilograms); empty otherwise.
    QString getMassUnitTakenAsKilograms() const;
    /// What is said when masses are taken as kilograms under another unit.
    static QString massUnitNote(const QString& projectMassUnit);

signals:
    void calculatedItem();

private:
    struct PassTotals;
    class TypeInputCache;
    bool runPass();
    bool stopRequested() const;
    /// Removes the result sets of earlier runs; false when stopped on
    /// request half-way. With progress, emits calculatedItem() per step.
    bool removeOldQuantities(bool progress);
    bool writeTotals(PassTotals& totals);
    /// An error naming the first object whose total is beyond the largest
    /// number, which cannot be stored; false then.
    bool totalsAreFinite(const PassTotals& totals);
    /// The element's quantities, and whether every input of it was found;
    /// counted in inputCounts when asked for.
    QMap<QString, double> quantitiesOf(const QModelIndex& index, bool* inputsFound, InputCounts* counts = nullptr);
    void computeElement(int row, PassTotals& totals);
    const std::string& utf8Name(const QString& name);
    /// The nearest building above an element, as FindParentVisitor finds it.
    ifc2x3::IfcBuilding* buildingOf(ifc2x3::IfcObjectDefinition* element, PassTotals& totals) const;
    ifc2x3::IfcBuilding* nearestBuilding(ifc2x3::IfcObjectDefinition* element,
                                         const std::vector<ifc2x3::IfcObjectDefinition*>& parents,
                                         PassTotals& totals) const;
    void writeTypeSummary(ifc2x3::IfcObjectDefinition* type, const PassTotals& totals);
    bool readReusedFlag(const QModelIndex& index, unsigned long long key) const;
    /// Tells the model the object changed; `index` is its row when known.
    void announce(ifc2x3::IfcObjectDefinition* object, const QModelIndex& index = QModelIndex());
    /// Returns the number of properties written. `existing` tells whether
    /// the object may already have a set of that name.
    int createQuantities(ifc2x3::IfcObjectDefinition* object, const QMap<QString, double>& quantities,
                         const QString& propertySetName, const QModelIndex& index,
                         Ifc2x3CC::PropertySetUtils::ExistingSet existing);
    /// Records the quantity path that gave the functional unit value of row.
    void notePropPath(int row, const QString& path);
    /// The entity key of the element at index, for log records.
    unsigned long long keyOf(const QModelIndex& index) const;

    template <class T> struct InputRead;
    struct TypeInputs;
    InputRead<FunctionalUnit> readFunctionalUnit(const QModelIndex& index) const;
    InputRead<double> readMassPerFunctionalUnit(const QModelIndex& index) const;
    InputRead<QMap<QString, double>> readMaterialComposition(const QModelIndex& index) const;
    InputRead<int> readReusedState(const QModelIndex& index) const;
    /// The pass's cached inputs of the element's type when path goes
    /// through the type; null outside a pass or for other paths.
    TypeInputs* typeInputsFor(const QModelIndex& index, const QStringList& path) const;
    /// An input of the element's type, cached during a pass; otherwise read
    /// into local.
    template <class T, class Read>
    const InputRead<T>& typeInput(const QModelIndex& index, const QStringList& path,
                                  std::optional<InputRead<T>> TypeInputs::*cached, std::optional<InputRead<T>>& local,
                                  Read read) const;

    _ifc2x3::IFC2x3Model* model;
    MaterialQuantitiesSettings settings;
    /// The settings' paths, split once.
    QStringList functionalUnitPath;
    QStringList massPerFunctionalUnitPath;
    QStringList materialCompositionPath;
    QStringList reusedMaterialsPath;
    QList<QStringList> volumePaths;
    QList<QStringList> areaPaths;
    QList<QStringList> lengthPaths;
    /// Whether this pass has said that masses are taken as kilograms.
    mutable bool massUnitReported = false;
    /// During a pass: what was read once per element type.
    std::unique_ptr<TypeInputCache> typeInputs;
    /// Material and set names in UTF-8, as the data set holds them,
    /// converted once.
    QHash<QString, std::string> utf8Names;
    QMap<int, QString> quantitiesPropPathMap;
    QHash<int, double> functionalUnitValueCache;
    InputCounts inputCounts;
    std::vector<int> rowsWritten;
    /// Rows told of a change during the pass, told again if it is undone.
    std::vector<int> announcedRows;
    log4cplus::Logger logger;
};

} // namespace Orvane
