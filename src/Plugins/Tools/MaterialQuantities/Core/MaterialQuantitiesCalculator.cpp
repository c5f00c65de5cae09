#include "MaterialQuantitiesCalculator.h"

#include "FindParentVisitor.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/Ifc2x3CC/EditContext.h"
#include "Orvane/Ifc2x3CC/PropertySetUtils.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include "Orvane/_ifc2x3/UnitConverter.h"

#include <QRegularExpression>
#include <QThread>

#include <log4cplus/loggingmacros.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Orvane {

using ifc2x3::IfcObjectDefinition;
using QuantityMap = QMap<QString, double>;

namespace {

/// Fractions that sum to 1 only up to rounding (0.34 + 0.56 + 0.1) are
/// still fractions, not percentages.
constexpr double percentageThreshold = 1.0 + 1e-6;

Step::String toStepString(const QString& text)
{
    return Step::String(text.toStdWString());
}

} // namespace

/// What one pass gathers before writing buildings, types and the project.
struct MaterialQuantitiesCalculator::PassTotals
{
    /// Masses by material number, and whether a material has one.
    struct Sums
    {
        std::vector<double> masses;
        std::vector<bool> present;

        void add(int material, double mass)
        {
            const auto at = static_cast<std::size_t>(material);
            if (at >= masses.size()) {
                masses.resize(at + 1, 0.0);
                present.resize(at + 1, false);
            }
            masses[at] += mass;
            present[at] = true;
        }
        bool isEmpty() const { return std::find(present.begin(), present.end(), true) == present.end(); }
        /// The first material whose sum is beyond the largest number, or -1.
        int firstNotFinite() const
        {
            for (std::size_t i = 0; i < masses.size(); ++i) {
                if (present[i] && !std::isfinite(masses[i])) {
                    return static_cast<int>(i);
                }
            }
            return -1;
        }
    };

    /// Materials are numbered in the order met: an element's quantities
    /// are added to three or four sums, each material looked up once.
    int materialNumber(const QString& material)
    {
        auto it = materialNumbers.constFind(material);
        if (it == materialNumbers.constEnd()) {
            it = materialNumbers.insert(material, materialNames.size());
            materialNames.append(material);
        }
        return *it;
    }
    QuantityMap toMap(const Sums& sums) const
    {
        QuantityMap out;
        for (std::size_t i = 0; i < sums.masses.size(); ++i) {
            if (sums.present[i]) {
                out.insert(materialNames.at(static_cast<int>(i)), sums.masses[i]);
            }
        }
        return out;
    }

    QHash<QString, int> materialNumbers;
    QStringList materialNames;
    Sums total;
    Sums reused;
    Sums recovered;
    std::map<ifc2x3::IfcBuilding*, Sums> buildings;
    std::map<IfcObjectDefinition*, int> instanceCount;
    std::map<IfcObjectDefinition*, FunctionalUnit> typeFunctionalUnit;
    std::map<IfcObjectDefinition*, double> typeMassPerFunctionalUnit;
    std::map<IfcObjectDefinition*, double> typeFunctionalUnitSum;
    /// Elements that had every input and received their results.
    int elementsComputed = 0;
    /// The parents of the objects above elements (storeys, buildings,
    /// openings...), which many elements share: looked up once.
    Ifc2x3CV::VisitParentVisitor::ParentCache parents;
    /// The building found above an element's only parent.
    std::unordered_map<IfcObjectDefinition*, ifc2x3::IfcBuilding*> buildingAbove;
};

/// What reading one input found: the value and what to log about it. The
/// getters log it each time they are asked, whether read or cached.
template <class T> struct MaterialQuantitiesCalculator::InputRead
{
    enum Kind {
        NoModel,
        PropertyNotFound,
        EmptyChild,
        ChildNotADouble,
        /// A value that is not a finite number; detail: the value found.
        NotANumber,
        /// A mass measure under a project mass unit other than the
        /// kilogram; detail: the unit's symbol.
        MassInProjectUnit,
        /// detail: the material and the share.
        DroppedShare,
        /// detail: the material.
        DuplicateMaterial,
        /// detail: the sum of the shares.
        UnusualShareSum
    };
    struct Issue
    {
        Issue(Kind kind, QString detail = QString()) : kind(kind), detail(std::move(detail)) {}
        Kind kind;
        QString detail;
    };
    T value{};
    std::vector<Issue> issues;
};

/// The inputs read through an element's type ("Type/..." paths), the same
/// for every element of that type: during a pass they are read for the
/// first element of each type and reused for the others.
struct MaterialQuantitiesCalculator::TypeInputs
{
    std::optional<InputRead<FunctionalUnit>> functionalUnit;
    std::optional<InputRead<double>> massPerFunctionalUnit;
    std::optional<InputRead<QuantityMap>> materialComposition;
    std::optional<InputRead<int>> reusedState;
};

class MaterialQuantitiesCalculator::TypeInputCache
{
public:
    /// The type of the element being read: its readers ask for it several
    /// times, and it does not change during the pass.
    const Step::BaseEntity* typeOfRow(const _ifc2x3::IFC2x3Model& model, const QModelIndex& index)
    {
        if (index.row() != lastRow) {
            lastRow = index.row();
            lastType = model.typeObject(index);
            lastInputs = nullptr;
        }
        return lastType;
    }
    /// The inputs of the type of the element being read.
    TypeInputs& ofRow(const _ifc2x3::IFC2x3Model& model, const QModelIndex& index)
    {
        const Step::BaseEntity* type = typeOfRow(model, index);
        if (!lastInputs) {
            lastInputs = &inputs[type];
        }
        return *lastInputs;
    }

private:
    int lastRow = -1;
    const Step::BaseEntity* lastType = nullptr;
    TypeInputs* lastInputs = nullptr;
    std::unordered_map<const Step::BaseEntity*, TypeInputs> inputs;
};

namespace {

MaterialQuantitiesCalculator::FunctionalUnit functionalUnitOfText(const QString& text)
{
    using Calculator = MaterialQuantitiesCalculator;
    static const std::pair<const char*, Calculator::FunctionalUnit> keywords[] = {
        {"volume", Calculator::Volume}, {"area", Calculator::Area},       {"surface", Calculator::Area},
        {"length", Calculator::Length}, {"longueur", Calculator::Length}, {"unite", Calculator::Unit}};
    for (const auto& [keyword, unit] : keywords) {
        if (text.contains(QLatin1String(keyword), Qt::CaseInsensitive)) {
            return unit;
        }
    }
    return Calculator::Undefined;
}

QString shareText(const QString& material, double share)
{
    return material + QStringLiteral(" (") + QString::number(share) + QLatin1Char(')');
}

/// Shares are fractions or percentages: a sum off both by more than 1 %
/// most likely misses a material or counts one twice.
bool isAboutOneOrHundred(double sum)
{
    return std::abs(sum - 1.0) <= 0.01 || std::abs(sum - 100.0) <= 1.0;
}

QString withoutDiacritics(const QString& text)
{
    QString stripped = text.normalized(QString::NormalizationForm_D);
    stripped.remove(QRegularExpression(QStringLiteral("\\p{Mn}")));
    return stripped;
}

QList<QStringList> splitPaths(const QStringList& paths)
{
    QList<QStringList> out;
    for (const QString& path : paths) {
        out.append(CoreProperty::getPropertyPath(path));
    }
    return out;
}

} // namespace

MaterialQuantitiesCalculator::MaterialQuantitiesCalculator(_ifc2x3::IFC2x3Model* model,
                                                           const MaterialQuantitiesSettings& settings)
    : QObject(nullptr), model(model), settings(settings),
      functionalUnitPath(CoreProperty::getPropertyPath(settings.functionalUnitPropertyPath)),
      massPerFunctionalUnitPath(CoreProperty::getPropertyPath(settings.massPerFunctionalUnitPropertyPath)),
      materialCompositionPath(CoreProperty::getPropertyPath(settings.materialCompositionPropertyPath)),
      reusedMaterialsPath(CoreProperty::getPropertyPath(settings.reusedMaterialsPropertyPath)),
      volumePaths(splitPaths(settings.volumeQuantitiesPropPaths)),
      areaPaths(splitPaths(settings.areaQuantitiesPropPaths)),
      lengthPaths(splitPaths(settings.lengthQuantitiesPropPaths)),
      logger(log4cplus::Logger::getInstance("Orvane.Plugins.tool.MaterialQuantities"))
{
}

MaterialQuantitiesCalculator::TypeInputs* MaterialQuantitiesCalculator::typeInputsFor(const QModelIndex& index,
                                                                                      const QStringList& path) const
{
    if (!typeInputs || !model || path.isEmpty() || path.constFirst() != QLatin1String("Type")) {
        return nullptr;
    }
    return &typeInputs->ofRow(*model, index);
}

template <class T, class Read>
const MaterialQuantitiesCalculator::InputRead<T>&
MaterialQuantitiesCalculator::typeInput(const QModelIndex& index, const QStringList& path,
                                        std::optional<InputRead<T>> TypeInputs::*cached,
                                        std::optional<InputRead<T>>& local, Read read) const
{
    std::optional<InputRead<T>>& slot = [&]() -> std::optional<InputRead<T>>& {
        TypeInputs* inputs = typeInputsFor(index, path);
        return inputs ? inputs->*cached : local;
    }();
    if (!slot) {
        slot = read();
    }
    return *slot;
}

MaterialQuantitiesCalculator::~MaterialQuantitiesCalculator() = default;

// ------------------------------------------------------------------ readers

MaterialQuantitiesCalculator::FunctionalUnit
MaterialQuantitiesCalculator::getFunctionalUnit(const QModelIndex& index) const
{
    std::optional<InputRead<FunctionalUnit>> read;
    const InputRead<FunctionalUnit>& result = typeInput(index, functionalUnitPath, &TypeInputs::functionalUnit, read,
                                                        [&] { return readFunctionalUnit(index); });
    for (const auto& issue : result.issues) {
        if (issue.kind == InputRead<FunctionalUnit>::NoModel) {
            LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::getFunctionalUnit: No model");
        } else {
            // Logged for every element of a type without the material
            // properties: the text is made once, not streamed each time.
            static const std::string notFound =
                "MaterialQuantitiesCalculator::getFunctionalUnit: Functional unit property not found";
            LOG4CPLUS_ERROR_STR(logger, notFound);
        }
    }
    return result.value;
}

MaterialQuantitiesCalculator::InputRead<MaterialQuantitiesCalculator::FunctionalUnit>
MaterialQuantitiesCalculator::readFunctionalUnit(const QModelIndex& index) const
{
    if (!model) {
        return {Undefined, {InputRead<FunctionalUnit>::NoModel}};
    }
    const Step::RefPtr<CoreProperty> property = model->getProperty(index, functionalUnitPath);
    if (!property) {
        return {Undefined, {InputRead<FunctionalUnit>::PropertyNotFound}};
    }
    return {functionalUnitOf(property->value().toString()), {}};
}

bool MaterialQuantitiesCalculator::sharesArePercentages(double sum)
{
    return sum > percentageThreshold;
}

MaterialQuantitiesCalculator::FunctionalUnit MaterialQuantitiesCalculator::functionalUnitOf(const QString& text)
{
    const FunctionalUnit unit = functionalUnitOfText(text);
    // "Unité" and "UNITÉ" are the same keyword: compared without their
    // accents once the text as written gave nothing, so that no text that
    // gave a unit changes it.
    return unit == Undefined ? functionalUnitOfText(withoutDiacritics(text)) : unit;
}

double MaterialQuantitiesCalculator::getFunctionalUnitValue(const QModelIndex& index)
{
    const int row = index.row();
    const auto cached = functionalUnitValueCache.constFind(row);
    if (cached != functionalUnitValueCache.constEnd()) {
        return *cached;
    }
    const FunctionalUnit unit = getFunctionalUnit(index);
    if (unit == Unit) {
        static const QString unitPath = QStringLiteral("UF_UNITE");
        notePropPath(row, unitPath);
        return 1.0;
    }
    if (unit == Undefined) {
        static const std::string notFound =
            "MaterialQuantitiesCalculator::getFunctionalUnitValue: Functional unit property not found";
        LOG4CPLUS_ERROR_STR(logger, notFound);
        return -1.0;
    }
    if (quantityPathsOf(unit)->isEmpty() || !model) {
        LOG4CPLUS_ERROR(
            logger, "MaterialQuantitiesCalculator::getFunctionalUnitValue: No property path to look for unit property");
        return -1.0;
    }
    QString path;
    const double number = readFunctionalUnitValue(index, unit, &path);
    if (number >= 0.0 || !path.isEmpty()) {
        notePropPath(row, path);
    } else {
        static const std::string quantitiesNotFound =
            "MaterialQuantitiesCalculator::getFunctionalUnitValue: quantities not found";
        LOG4CPLUS_ERROR_STR(logger, quantitiesNotFound);
    }
    const double value = path.isEmpty() ? -1.0 : number;
    functionalUnitValueCache.insert(row, value);
    return value;
}

const QStringList* MaterialQuantitiesCalculator::quantityPathsOf(FunctionalUnit unit,
                                                                 const QList<QStringList>** split) const
{
    const QList<QStringList>* splitPaths = nullptr;
    const QStringList* paths = nullptr;
    switch (unit) {
    case Volume:
        paths = &settings.volumeQuantitiesPropPaths;
        splitPaths = &volumePaths;
        break;
    case Area:
        paths = &settings.areaQuantitiesPropPaths;
        splitPaths = &areaPaths;
        break;
    case Length:
        paths = &settings.lengthQuantitiesPropPaths;
        splitPaths = &lengthPaths;
        break;
    default:
        break;
    }
    if (split) {
        *split = splitPaths;
    }
    return paths;
}

double MaterialQuantitiesCalculator::readFunctionalUnitValue(const QModelIndex& index, FunctionalUnit unit,
                                                             QString* path) const
{
    if (unit == Unit) {
        if (path) {
            *path = QStringLiteral("UF_UNITE");
        }
        return 1.0;
    }
    const QList<QStringList>* splitPaths = nullptr;
    const QStringList* paths = quantityPathsOf(unit, &splitPaths);
    if (!paths || !model) {
        return -1.0;
    }
    for (int i = 0; i < paths->size(); ++i) {
        const Step::RefPtr<CoreProperty> property = model->getProperty(index, splitPaths->at(i));
        if (!property || !property->value().isValid()) {
            continue;
        }
        bool ok = false;
        const double number = property->numericValue().toDouble(&ok);
        if (!ok || !std::isfinite(number)) {
            continue;
        }
        if (path) {
            *path = paths->at(i);
        }
        return number;
    }
    return -1.0;
}

double MaterialQuantitiesCalculator::getMassPerFunctionalUnit(const QModelIndex& index) const
{
    std::optional<InputRead<double>> read;
    const InputRead<double>& result = typeInput(index, massPerFunctionalUnitPath, &TypeInputs::massPerFunctionalUnit,
                                                read, [&] { return readMassPerFunctionalUnit(index); });
    for (const auto& issue : result.issues) {
        switch (issue.kind) {
        case InputRead<double>::NotANumber:
            LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::getMassPerFunctionalUnit: Mass per functional unit "
                                    "property not found; item : "
                                        << keyOf(index) << ", value '" << issue.detail.toStdString()
                                        << "' is not a number");
            break;
        case InputRead<double>::MassInProjectUnit:
            if (!massUnitReported) {
                massUnitReported = true;
                LOG4CPLUS_WARN(logger, "MaterialQuantitiesCalculator::getMassPerFunctionalUnit: "
                                           << massUnitNote(issue.detail).toStdString());
            }
            break;
        default: {
            static const std::string notFound =
                "MaterialQuantitiesCalculator::getMassPerFunctionalUnit: Mass per functional unit property not found";
            LOG4CPLUS_ERROR_STR(logger, notFound);
            break;
        }
        }
    }
    return result.value;
}

QString MaterialQuantitiesCalculator::getMassUnitTakenAsKilograms() const
{
    if (!model) {
        return {};
    }
    const _ifc2x3::UnitConverter::Unit projectUnit = model->units().projectUnit(_ifc2x3::UnitConverter::Kind::Mass);
    if (std::abs(projectUnit.factor - 1.0) <= 1e-9) {
        return {};
    }
    for (int row : getBuildingElementRows(model)) {
        for (const auto& issue : readMassPerFunctionalUnit(model->index(row, 0)).issues) {
            if (issue.kind == InputRead<double>::MassInProjectUnit) {
                return issue.detail;
            }
        }
    }
    return {};
}

QString MaterialQuantitiesCalculator::massUnitNote(const QString& projectMassUnit)
{
    return QStringLiteral("The project's mass unit is %1: mass per functional unit values are taken as kilograms")
        .arg(projectMassUnit);
}

QString MaterialQuantitiesCalculator::getQuantityPath(const QModelIndex& index)
{
    // Read without logging: views ask for rows without quantities too.
    QString path;
    readFunctionalUnitValue(index, readFunctionalUnit(index).value, &path);
    return path;
}

MaterialQuantitiesCalculator::MissingReason MaterialQuantitiesCalculator::getMissingReason(const QModelIndex& index)
{
    using Reason = MissingReason;
    if (!model || !model->ifcObjectDefinition(index)) {
        return {};
    }
    for (const QStringList* path : {&functionalUnitPath, &massPerFunctionalUnitPath, &materialCompositionPath}) {
        if (!path->isEmpty() && path->constFirst() == QLatin1String("Type") && !model->typeObject(index)) {
            return {Reason::NoType, {}};
        }
    }
    std::optional<InputRead<FunctionalUnit>> unitRead;
    const FunctionalUnit unit = typeInput(index, functionalUnitPath, &TypeInputs::functionalUnit, unitRead, [&] {
                                    return readFunctionalUnit(index);
                                }).value;
    if (unit == Undefined) {
        const Step::RefPtr<CoreProperty> property = model->getProperty(index, functionalUnitPath);
        return property ? Reason{Reason::UnrecognisedFunctionalUnit, property->value().toString()}
                        : Reason{Reason::NoFunctionalUnit, {}};
    }
    if (readFunctionalUnitValue(index, unit, nullptr) < 0.0) {
        const QStringList* paths = quantityPathsOf(unit);
        return {Reason::NoQuantity, paths ? paths->join(QStringLiteral(", ")) : QString()};
    }
    std::optional<InputRead<double>> massRead;
    const InputRead<double>& mass = typeInput(index, massPerFunctionalUnitPath, &TypeInputs::massPerFunctionalUnit,
                                              massRead, [&] { return readMassPerFunctionalUnit(index); });
    if (mass.value < 0.0) {
        for (const auto& issue : mass.issues) {
            if (issue.kind == InputRead<double>::NotANumber) {
                return {Reason::MassNotANumber, issue.detail};
            }
        }
        return {Reason::NoMass, {}};
    }
    std::optional<InputRead<QuantityMap>> compositionRead;
    const InputRead<QuantityMap>& composition =
        typeInput(index, materialCompositionPath, &TypeInputs::materialComposition, compositionRead,
                  [&] { return readMaterialComposition(index); });
    if (composition.value.isEmpty()) {
        const bool found = std::none_of(composition.issues.begin(), composition.issues.end(), [](const auto& issue) {
            return issue.kind == InputRead<QuantityMap>::PropertyNotFound;
        });
        return {found ? Reason::NoPositiveShare : Reason::NoComposition, {}};
    }
    return {Reason::NotComputed, {}};
}

QHash<int, MaterialQuantitiesCalculator::MissingReason>
MaterialQuantitiesCalculator::getMissingReasons(const std::vector<int>& rowsKnownToHoldQuantities)
{
    QHash<int, MissingReason> reasons;
    if (!model) {
        return reasons;
    }
    std::vector<bool> holding(static_cast<std::size_t>(model->rowCount()), false);
    for (int row : rowsKnownToHoldQuantities) {
        if (row >= 0 && static_cast<std::size_t>(row) < holding.size()) {
            holding[static_cast<std::size_t>(row)] = true;
        }
    }
    // What is read through an element's type is read once per type.
    typeInputs = std::make_unique<TypeInputCache>();
    const QStringList path = {QStringLiteral("Properties"), settings.totalQuantitiesPropertySetName};
    for (int row : getBuildingElementRows(model)) {
        if (holding[static_cast<std::size_t>(row)]) {
            continue;
        }
        const QModelIndex index = model->index(row, 0, QModelIndex());
        if (index.isValid() && !holdsQuantities(model->getProperty(index, path).get())) {
            reasons.insert(row, getMissingReason(index));
        }
    }
    typeInputs.reset();
    return reasons;
}

QString MaterialQuantitiesCalculator::reasonText(const MissingReason& reason)
{
    switch (reason.kind) {
    case MissingReason::NoType:
        return tr("No type");
    case MissingReason::NoFunctionalUnit:
        return tr("The type has no functional unit");
    case MissingReason::UnrecognisedFunctionalUnit:
        return tr("Functional unit not recognised: \"%1\"").arg(reason.detail);
    case MissingReason::NoQuantity:
        return tr("No quantity at the functional unit's paths (%1)").arg(reason.detail);
    case MissingReason::NoMass:
        return tr("No mass per functional unit");
    case MissingReason::MassNotANumber:
        return tr("Mass per functional unit not a number: \"%1\"").arg(reason.detail);
    case MissingReason::NoComposition:
        return tr("No material composition");
    case MissingReason::NoPositiveShare:
        return tr("Material composition without any positive share");
    case MissingReason::NotComputed:
        return tr("Not computed since its inputs were completed");
    case MissingReason::None:
        break;
    }
    return {};
}

QHash<int, QString> MaterialQuantitiesCalculator::reasonTexts(const QHash<int, MissingReason>& reasons)
{
    QHash<int, QString> texts;
    texts.reserve(reasons.size());
    for (auto it = reasons.constBegin(); it != reasons.constEnd(); ++it) {
        texts.insert(it.key(), reasonText(*it));
    }
    return texts;
}

QString MaterialQuantitiesCalculator::reasonCountText(MissingReason::Kind kind, int count)
{
    switch (kind) {
    case MissingReason::NoType:
        return tr("%1 without a type").arg(count);
    case MissingReason::NoFunctionalUnit:
        return tr("%1 without functional unit").arg(count);
    case MissingReason::UnrecognisedFunctionalUnit:
        return tr("%1 with a functional unit not recognised").arg(count);
    case MissingReason::NoQuantity:
        return tr("%1 without quantity at the functional unit's paths").arg(count);
    case MissingReason::NoMass:
        return tr("%1 without mass per functional unit").arg(count);
    case MissingReason::MassNotANumber:
        return tr("%1 with a mass per functional unit that is not a number").arg(count);
    case MissingReason::NoComposition:
        return tr("%1 without material composition").arg(count);
    case MissingReason::NoPositiveShare:
        return tr("%1 with a composition without any positive share").arg(count);
    case MissingReason::NotComputed:
        return tr("%1 not computed since their inputs were completed").arg(count);
    case MissingReason::None:
        break;
    }
    return {};
}

void MaterialQuantitiesCalculator::notePropPath(int row, const QString& path)
{
    // A pass goes through the rows in order: each is added after the last
    // one, without a search from the root. A row seen before (or out of
    // order) makes the map ignore the hint and replace its value.
    quantitiesPropPathMap.insert(quantitiesPropPathMap.constEnd(), row, path);
}

unsigned long long MaterialQuantitiesCalculator::keyOf(const QModelIndex& index) const
{
    const IfcObjectDefinition* object = model ? model->ifcObjectDefinition(index) : nullptr;
    return object ? object->getKey() : 0;
}

MaterialQuantitiesCalculator::InputRead<double>
MaterialQuantitiesCalculator::readMassPerFunctionalUnit(const QModelIndex& index) const
{
    if (!model) {
        return {-1.0, {}};
    }
    const Step::RefPtr<CoreProperty> property = model->getProperty(index, massPerFunctionalUnitPath);
    if (!property) {
        return {-1.0, {InputRead<double>::PropertyNotFound}};
    }
    // Read as a number of kilograms whatever the project's mass unit, as
    // authoring tools write the number the user typed; said once a pass.
    const QVariant value = property->value();
    bool ok = false;
    const double mass = value.toDouble(&ok);
    if (!ok || !std::isfinite(mass)) {
        return {-1.0, {{InputRead<double>::NotANumber, property->displayValue().toString()}}};
    }
    InputRead<double> read{mass, {}};
    const _ifc2x3::UnitConverter::Unit projectUnit = model->units().projectUnit(_ifc2x3::UnitConverter::Kind::Mass);
    if (std::abs(projectUnit.factor - 1.0) > 1e-9 && property->unitType() == QLatin1String("MASSUNIT")) {
        read.issues.push_back({InputRead<double>::MassInProjectUnit, projectUnit.symbol});
    }
    return read;
}

QuantityMap MaterialQuantitiesCalculator::getMaterialComposition(const QModelIndex& index) const
{
    std::optional<InputRead<QuantityMap>> read;
    const InputRead<QuantityMap>& result = typeInput(index, materialCompositionPath, &TypeInputs::materialComposition,
                                                     read, [&] { return readMaterialComposition(index); });
    for (const auto& issue : result.issues) {
        switch (issue.kind) {
        case InputRead<QuantityMap>::PropertyNotFound: {
            static const std::string notFound =
                "MaterialQuantitiesCalculator::getMaterialComposition: Material composition property not found";
            LOG4CPLUS_ERROR_STR(logger, notFound);
            break;
        }
        case InputRead<QuantityMap>::EmptyChild:
            LOG4CPLUS_WARN(logger, "MaterialQuantitiesCalculator::getMaterialComposition: Empty child property");
            break;
        case InputRead<QuantityMap>::DroppedShare:
            LOG4CPLUS_WARN(logger, "MaterialQuantitiesCalculator::getMaterialComposition: Share dropped for item : "
                                       << keyOf(index) << ", material " << issue.detail.toStdString());
            break;
        case InputRead<QuantityMap>::DuplicateMaterial:
            LOG4CPLUS_WARN(logger,
                           "MaterialQuantitiesCalculator::getMaterialComposition: Material named twice for item : "
                               << keyOf(index) << ", material " << issue.detail.toStdString()
                               << "; its last share is kept");
            break;
        case InputRead<QuantityMap>::UnusualShareSum:
            LOG4CPLUS_WARN(logger, "MaterialQuantitiesCalculator::getMaterialComposition: Shares of item : "
                                       << keyOf(index) << " add up to " << issue.detail.toStdString()
                                       << ", neither 1 nor 100");
            break;
        default:
            LOG4CPLUS_WARN(logger,
                           "MaterialQuantitiesCalculator::getMaterialComposition: Child property is not a double");
            break;
        }
    }
    return result.value;
}

MaterialQuantitiesCalculator::InputRead<QuantityMap>
MaterialQuantitiesCalculator::readMaterialComposition(const QModelIndex& index) const
{
    InputRead<QuantityMap> read;
    if (!model) {
        return read;
    }
    const Step::RefPtr<CoreProperty> property = model->getProperty(index, materialCompositionPath);
    if (!property) {
        read.issues.push_back(InputRead<QuantityMap>::PropertyNotFound);
        return read;
    }
    QuantityMap& composition = read.value;
    for (int i = 0; i < property->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> child(property->getChildProperty(i));
        if (!child) {
            read.issues.push_back(InputRead<QuantityMap>::EmptyChild);
            continue;
        }
        bool ok = false;
        const double share = child->value().toDouble(&ok);
        if (!ok || !std::isfinite(share)) {
            read.issues.push_back(InputRead<QuantityMap>::ChildNotADouble);
            if (ok) {
                read.issues.push_back({InputRead<QuantityMap>::DroppedShare, shareText(child->name(), share)});
            }
            continue;
        }
        if (share > 0.0) {
            const int materials = composition.size();
            composition[child->name()] = share;
            if (composition.size() == materials) {
                read.issues.push_back({InputRead<QuantityMap>::DuplicateMaterial, child->name()});
            }
        } else if (share < 0.0) {
            read.issues.push_back({InputRead<QuantityMap>::DroppedShare, shareText(child->name(), share)});
        }
    }
    double sum = 0.0;
    for (double share : qAsConst(composition)) {
        sum += share;
    }
    if (!composition.isEmpty() && !isAboutOneOrHundred(sum)) {
        read.issues.push_back({InputRead<QuantityMap>::UnusualShareSum, QString::number(sum)});
    }
    if (sharesArePercentages(sum)) {
        for (double& share : composition) {
            share /= 100.0;
        }
    }
    return read;
}

QuantityMap MaterialQuantitiesCalculator::getQuantities(const QModelIndex& index)
{
    return quantitiesOf(index, nullptr);
}

namespace {

/// (value × mass) × share, the order the results have always been computed
/// in; where that overflows while the result itself fits, another order.
double quantityOf(double functionalUnitValue, double mass, double share)
{
    const double inOrder = (functionalUnitValue * mass) * share;
    if (std::isfinite(inOrder)) {
        return inOrder;
    }
    const double massShare = functionalUnitValue * (mass * share);
    return std::isfinite(massShare) ? massShare : (functionalUnitValue * share) * mass;
}

} // namespace

QuantityMap MaterialQuantitiesCalculator::quantitiesOf(const QModelIndex& index, bool* inputsFound, InputCounts* counts)
{
    const QuantityMap composition = getMaterialComposition(index);
    double mass = getMassPerFunctionalUnit(index);
    double functionalUnitValue = getFunctionalUnitValue(index);
    const bool found = mass >= 0.0 && functionalUnitValue >= 0.0 && !composition.isEmpty();
    if (inputsFound) {
        *inputsFound = found;
    }
    if (counts) {
        ++counts->elements;
        counts->functionalUnit += getFunctionalUnit(index) != Undefined;
        counts->massPerFunctionalUnit += mass >= 0.0;
        counts->materialComposition += !composition.isEmpty();
        counts->functionalUnitValue += functionalUnitValue >= 0.0;
    }
    if (mass < 0.0 || functionalUnitValue < 0.0) {
        if (!composition.isEmpty()) {
            LOG4CPLUS_ERROR(logger,
                            "MaterialQuantitiesCalculator::getQuantities: Composition map is good but functional "
                            "unit and/or mass per functional unit not found");
        }
        mass = 0.0;
        functionalUnitValue = 0.0;
    }
    // The composition's keys, in place: no key is looked up again.
    QuantityMap quantities = composition;
    for (auto it = quantities.begin(); it != quantities.end();) {
        it.value() = quantityOf(functionalUnitValue, mass, it.value());
        if (std::isfinite(it.value())) {
            ++it;
            continue;
        }
        // A quantity beyond the largest number cannot be stored or added up.
        LOG4CPLUS_ERROR(logger,
                        "MaterialQuantitiesCalculator::getQuantities: Quantity is not a finite number for item : "
                            << keyOf(index) << ", material " << it.key().toStdString());
        it = quantities.erase(it);
        if (inputsFound) {
            *inputsFound = false;
        }
    }
    return quantities;
}

QList<int> MaterialQuantitiesCalculator::getBuildingElementRows(const _ifc2x3::IFC2x3Model* model)
{
    QList<int> rows;
    if (!model) {
        return rows;
    }
    // The model's rows are its object definitions in data set order: the
    // elements among them, in the same order, without a lookup each. A model
    // has a few dozen entity types: each is classified once.
    std::unordered_map<const Step::ClassType*, bool> isBuildingElement;
    const auto classify = [](const Step::ClassType& type) {
        return type.isDerivedFrom(ifc2x3::IfcElement::getClassType()) &&
               !type.isDerivedFrom(ifc2x3::IfcFeatureElement::getClassType()) &&
               !type.isDerivedFrom(ifc2x3::IfcElementAssembly::getClassType()) &&
               !type.isDerivedFrom(ifc2x3::IfcVirtualElement::getClassType());
    };
    const int rowCount = model->rowCount();
    for (int row = 0; row < rowCount; ++row) {
        const IfcObjectDefinition* object = model->ifcObjectDefinition(model->index(row, 0));
        if (!object) {
            continue;
        }
        const Step::ClassType& type = object->getType();
        auto known = isBuildingElement.find(&type);
        if (known == isBuildingElement.end()) {
            known = isBuildingElement.emplace(&type, classify(type)).first;
        }
        if (known->second) {
            rows.append(row);
        }
    }
    return rows;
}

// ----------------------------------------------------------------- writers

void MaterialQuantitiesCalculator::announce(IfcObjectDefinition* object, const QModelIndex& index)
{
    // A calculator without a model may still write into an object's data
    // set; there is just no view to tell.
    if (model) {
        const QModelIndex row = index.isValid() ? index : model->index(object);
        announcedRows.push_back(row.row());
        model->updateItem(row);
    }
}

const std::string& MaterialQuantitiesCalculator::utf8Name(const QString& name)
{
    auto it = utf8Names.constFind(name);
    if (it == utf8Names.constEnd()) {
        it = utf8Names.insert(name, toStepString(name).toUtf8());
    }
    return *it;
}

void MaterialQuantitiesCalculator::createQuantities(IfcObjectDefinition* object, const QuantityMap& quantities,
                                                    const QString& propertySetName)
{
    createQuantities(object, quantities, propertySetName, QModelIndex(),
                     Ifc2x3CC::PropertySetUtils::ExistingSet::LookFor);
}

int MaterialQuantitiesCalculator::createQuantities(IfcObjectDefinition* object, const QuantityMap& quantities,
                                                   const QString& propertySetName, const QModelIndex& index,
                                                   Ifc2x3CC::PropertySetUtils::ExistingSet existing)
{
    if (!object || quantities.isEmpty()) {
        return 0;
    }
    std::vector<Ifc2x3CC::PropertySetUtils::SingleValue> properties;
    properties.reserve(static_cast<std::size_t>(quantities.size()));
    for (auto it = quantities.constBegin(); it != quantities.constEnd(); ++it) {
        properties.push_back(
            {utf8Name(it.key()), QVariant(it.value()), ifc2x3::IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO});
    }
    // Without a model, the object's data set is edited without the model's context.
    const std::string& setName = utf8Name(propertySetName);
    const int written = model ? Ifc2x3CC::PropertySetUtils::addProperties(model->editContext(), object, setName,
                                                                          properties, true, existing)
                              : Ifc2x3CC::PropertySetUtils::addProperties(object, setName, properties, true);
    if (written > 0) {
        announce(object, index);
    }
    for (int i = written; i < quantities.size(); ++i) {
        LOG4CPLUS_WARN(logger, "Can't create property for item : " << object->getKey());
    }
    return written;
}

namespace {

/// Objects whose old results are removed at once: few enough for the
/// progress to move and a stop request to be heard, many enough that a
/// relation shared by thousands of them is rewritten a few times only.
constexpr qint64 removalStep = 4096;

} // namespace

void MaterialQuantitiesCalculator::removeQuantities()
{
    removeOldQuantities(false);
}

bool MaterialQuantitiesCalculator::removeOldQuantities(bool progress)
{
    if (!model) {
        return true;
    }
    // The project's recovered and reused sets go too, so that after a run
    // the project holds exactly that run's totals.
    std::vector<std::string> names;
    for (const QString& name : {settings.totalQuantitiesPropertySetName, settings.recoveredQuantitiesPropertySetName,
                                settings.reusedQuantitiesPropertySetName}) {
        if (!name.isEmpty()) {
            names.push_back(utf8Name(name));
        }
    }
    const auto all = model->dataSet()->getAllIfcObjectDefinition();
    // Most objects hold no old result: those that do are found from the sets.
    const std::vector<Step::Id> holders =
        names.empty() ? std::vector<Step::Id>() : Ifc2x3CC::PropertySetUtils::holdersOfSets(*model->dataSet(), names);
    std::vector<IfcObjectDefinition*> objects;
    for (std::size_t first = 0; first < all.size(); first += removalStep) {
        if (progress && stopRequested()) {
            return false;
        }
        objects.clear();
        for (std::size_t i = first; i < std::min<std::size_t>(all.size(), first + removalStep); ++i) {
            if (std::binary_search(holders.begin(), holders.end(), all[i]->getKey())) {
                objects.push_back(all[i].get());
            }
        }
        // A run of objects at once: an old set that many of them share
        // through one relation is unlinked from them in one rewrite of it.
        if (!names.empty()) {
            for (IfcObjectDefinition* object :
                 Ifc2x3CC::PropertySetUtils::removePropertySets(model->editContext(), objects, names)) {
                announce(object);
            }
        }
        if (progress) {
            emit calculatedItem();
        }
    }
    return true;
}

qint64 MaterialQuantitiesCalculator::progressSteps(_ifc2x3::IFC2x3Model* model)
{
    if (!model) {
        return 0;
    }
    ifc2x3::ExpressDataSet* dataSet = model->dataSet();
    const auto objects = static_cast<qint64>(dataSet->getAllIfcObjectDefinition().size());
    return (objects + removalStep - 1) / removalStep + getBuildingElementRows(model).size() +
           static_cast<qint64>(dataSet->getAllIfcBuilding().size()) +
           static_cast<qint64>(dataSet->getAllIfcTypeObject().size()) + 1;
}

bool MaterialQuantitiesCalculator::holdsQuantities(const CoreProperty* resultSet)
{
    if (!resultSet) {
        return false;
    }
    for (int i = 0; i < resultSet->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> child(resultSet->getChildProperty(i));
        if (child && child->value().toDouble() != 0.0) {
            return true;
        }
    }
    return false;
}

int MaterialQuantitiesCalculator::getMissingQuantitiesCount()
{
    int count = 0;
    if (!model) {
        return count;
    }
    const QStringList path = {QStringLiteral("Properties"), settings.totalQuantitiesPropertySetName};
    for (int row : getBuildingElementRows(model)) {
        const QModelIndex index = model->index(row, 0, QModelIndex());
        if (index.isValid() && !holdsQuantities(model->getProperty(index, path).get())) {
            ++count;
        }
    }
    return count;
}

// -------------------------------------------------------------------- pass

bool MaterialQuantitiesCalculator::computeQuantities()
{
    ifc2x3::ExpressDataSet* dataSet = model ? model->dataSet() : nullptr;
    announcedRows.clear();
    // Every edit of the pass is recorded, to be undone if it fails.
    const bool journal = dataSet && dataSet->beginJournal();
    bool computed = runPass();
    if (dataSet) {
        // Records decoded by the pass that could not be read, or a file
        // changed under the model, explain missing inputs.
        model->logDataSetWarnings();
    }
    if (dataSet && dataSet->instanceNumbersExhausted()) {
        // Results could not be written: what the model holds is incomplete.
        LOG4CPLUS_ERROR(logger, "no instance number left");
        computed = false;
    }
    if (!journal) {
        return computed;
    }
    if (computed) {
        dataSet->commitJournal();
        return true;
    }
    dataSet->rollbackJournal();
    quantitiesPropPathMap.clear();
    rowsWritten.clear();
    // The views read again what the rows hold now: what they held before.
    std::sort(announcedRows.begin(), announcedRows.end());
    announcedRows.erase(std::unique(announcedRows.begin(), announcedRows.end()), announcedRows.end());
    for (int row : std::exchange(announcedRows, {})) {
        model->updateItem(model->index(row, 0));
    }
    return false;
}

bool MaterialQuantitiesCalculator::stopRequested() const
{
    return QThread::currentThread()->isInterruptionRequested();
}

bool MaterialQuantitiesCalculator::runPass()
{
    quantitiesPropPathMap.clear();
    rowsWritten.clear();
    functionalUnitValueCache.clear();
    massUnitReported = false;
    inputCounts = InputCounts();
    if (!removeOldQuantities(true)) {
        return false;
    }
    if (!model) {
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::computeQuantities: No model");
        return false;
    }
    if (settings.totalQuantitiesPropertySetName.isEmpty()) {
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::computeQuantities: No quantities property set name");
        return false;
    }
    PassTotals totals;
    typeInputs = std::make_unique<TypeInputCache>();
    const QList<int> rows = getBuildingElementRows(model);
    // Openings and the elements they void are looked up once each.
    totals.parents.reserve(static_cast<std::size_t>(rows.size()));
    totals.buildingAbove.reserve(static_cast<std::size_t>(rows.size()));
    functionalUnitValueCache.reserve(rows.size());
    for (int row : rows) {
        if (stopRequested()) {
            typeInputs.reset();
            return false;
        }
        computeElement(row, totals);
    }
    typeInputs.reset();
    if (totals.elementsComputed == 0) {
        // Sets of zeros only: no element had all it takes to be computed.
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::computeQuantities: No building element has a "
                                "functional unit value, a mass per functional unit and a material composition");
        return false;
    }
    return totalsAreFinite(totals) && writeTotals(totals);
}

bool MaterialQuantitiesCalculator::totalsAreFinite(const PassTotals& totals)
{
    const auto report = [&](const char* what, unsigned long long key, int material) {
        LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::computeQuantities: The "
                                    << what << " of material " << totals.materialNames.at(material).toStdString()
                                    << " on item : " << key << " is beyond the largest number and cannot be stored");
    };
    for (const auto& [building, sums] : totals.buildings) {
        if (const int material = sums.firstNotFinite(); material >= 0) {
            report("total", building->getKey(), material);
            return false;
        }
    }
    const auto& projects = model->dataSet()->getAllIfcProject();
    const unsigned long long project = projects.empty() ? 0 : projects.front()->getKey();
    const std::pair<const char*, const PassTotals::Sums*> projectSums[] = {
        {"total", &totals.total}, {"recovered total", &totals.recovered}, {"reused total", &totals.reused}};
    for (const auto& [what, sums] : projectSums) {
        if (const int material = sums->firstNotFinite(); material >= 0) {
            report(what, project, material);
            return false;
        }
    }
    return true;
}

bool MaterialQuantitiesCalculator::writeTotals(PassTotals& totals)
{
    for (const auto& [building, sums] : totals.buildings) {
        if (stopRequested()) {
            return false;
        }
        createQuantities(building, totals.toMap(sums), settings.totalQuantitiesPropertySetName);
        emit calculatedItem();
    }
    for (const auto& type : model->dataSet()->getAllIfcTypeObject()) {
        if (stopRequested()) {
            return false;
        }
        writeTypeSummary(type.get(), totals);
        emit calculatedItem();
    }
    const auto& projects = model->dataSet()->getAllIfcProject();
    if (!projects.empty()) {
        IfcObjectDefinition* project = projects.front().get();
        createQuantities(project, totals.toMap(totals.total), settings.totalQuantitiesPropertySetName);
        createQuantities(project, totals.toMap(totals.recovered), settings.recoveredQuantitiesPropertySetName);
        createQuantities(project, totals.toMap(totals.reused), settings.reusedQuantitiesPropertySetName);
    } else {
        LOG4CPLUS_WARN(logger, "Can't create quantities on project");
    }
    emit calculatedItem();
    return true;
}

MaterialQuantitiesCalculator::InputRead<int>
MaterialQuantitiesCalculator::readReusedState(const QModelIndex& index) const
{
    const Step::RefPtr<CoreProperty> property = model->getProperty(index, reusedMaterialsPath);
    const QVariant value = property ? property->value() : QVariant();
    if (!property || value.userType() != BooleanVariant::metaTypeId() ||
        BooleanVariant(BooleanVariant::Unknown) == value) {
        return {-1, {}};
    }
    return {BooleanVariant(BooleanVariant::True) == value ? 1 : 0, {}};
}

bool MaterialQuantitiesCalculator::isReused(const QModelIndex& index) const
{
    return readReusedState(index).value == 1;
}

bool MaterialQuantitiesCalculator::readReusedFlag(const QModelIndex& index, unsigned long long key) const
{
    std::optional<InputRead<int>> read;
    const int state = typeInput(index, reusedMaterialsPath, &TypeInputs::reusedState, read, [&] {
                          return readReusedState(index);
                      }).value;
    if (state < 0) {
        LOG4CPLUS_WARN_STR(logger, "Element : " + std::to_string(key) +
                                       " has no reused property. False is use as default value.");
        return false;
    }
    return state == 1;
}

ifc2x3::IfcBuilding* MaterialQuantitiesCalculator::buildingOf(IfcObjectDefinition* element, PassTotals& totals) const
{
    const std::vector<IfcObjectDefinition*> parents = Ifc2x3CV::VisitParentVisitor::parentsOf(element);
    if (parents.size() != 1) {
        return nearestBuilding(element, parents, totals);
    }
    // Most elements have one parent (their storey), shared by many: the
    // search from there is the same for all of them.
    auto [known, inserted] = totals.buildingAbove.try_emplace(parents.front());
    if (inserted) {
        known->second = nearestBuilding(element, parents, totals);
    }
    return known->second;
}

ifc2x3::IfcBuilding* MaterialQuantitiesCalculator::nearestBuilding(IfcObjectDefinition* element,
                                                                   const std::vector<IfcObjectDefinition*>& parents,
                                                                   PassTotals& totals) const
{
    Ifc2x3CV::FindParentVisitor<ifc2x3::IfcBuilding> find(true, element);
    find.setParentCache(&totals.parents);
    find.visitParents(element, parents);
    return find.parents().empty() ? nullptr : find.parents().front();
}

void MaterialQuantitiesCalculator::computeElement(int row, PassTotals& totals)
{
    const QModelIndex index = model->index(row, 0, QModelIndex());
    bool inputsFound = false;
    const QuantityMap quantities = quantitiesOf(index, &inputsFound, &inputCounts);
    IfcObjectDefinition* element = model->ifcObjectDefinition(index);
    if (!element) {
        emit calculatedItem();
        return;
    }
    const unsigned long long key = element->getKey();
    if (!typeInputs->typeOfRow(*model, index)) {
        LOG4CPLUS_WARN_STR(logger, "Element has no type : " + std::to_string(key));
    }
    if (quantities.isEmpty()) {
        LOG4CPLUS_WARN_STR(logger, "Quantities not found for item : " + std::to_string(key));
        emit calculatedItem();
        return;
    }
    const bool reused = readReusedFlag(index, key);
    PassTotals::Sums& reuseSums = reused ? totals.reused : totals.recovered;
    ifc2x3::IfcBuilding* building = buildingOf(element, totals);
    PassTotals::Sums* buildingSums = building ? &totals.buildings[building] : nullptr;
    for (auto it = quantities.constBegin(); it != quantities.constEnd(); ++it) {
        const int material = totals.materialNumber(it.key());
        totals.total.add(material, it.value());
        reuseSums.add(material, it.value());
        if (buildingSums) {
            buildingSums->add(material, it.value());
        }
    }

    if (element->isOfType(ifc2x3::IfcObject::getClassType())) {
        ifc2x3::ExpressDataSet* dataSet = model->dataSet();
        // The element's other relations, one per property set, stay undecoded.
        std::vector<Step::Id> typings;
        dataSet->forEachInverseKey(*element, ifc2x3::InverseRelation::IsDefinedBy,
                                   ifc2x3::IfcRelDefinesByType::getClassType(),
                                   [&typings](Step::Id relation) { typings.push_back(relation); });
        for (const Step::Id typing : typings) {
            auto* relation = static_cast<ifc2x3::IfcRelDefinesByType*>(dataSet->get(typing));
            if (!relation) {
                continue;
            }
            IfcObjectDefinition* type = relation->getRelatingType();
            if (!type) {
                continue;
            }
            ++totals.instanceCount[type];
            if (totals.typeFunctionalUnit.find(type) == totals.typeFunctionalUnit.end()) {
                totals.typeFunctionalUnit[type] = getFunctionalUnit(index);
                totals.typeMassPerFunctionalUnit[type] = getMassPerFunctionalUnit(index);
            }
            double& sum = totals.typeFunctionalUnitSum[type];
            const double value = getFunctionalUnitValue(index);
            if (value > 0.0) {
                sum += value;
            } else {
                LOG4CPLUS_ERROR(logger, "MaterialQuantitiesCalculator::computeQuantities: Can't aggregate unity "
                                        "functional for product: "
                                            << key << ". One of the component has invalid value");
            }
        }
    }
    // The pass removed every result set before computing: the element has none.
    const int written = createQuantities(element, quantities, settings.totalQuantitiesPropertySetName, index,
                                         Ifc2x3CC::PropertySetUtils::ExistingSet::NoneAttached);
    if (written > 0 && inputsFound) {
        ++totals.elementsComputed;
    }
    if (written == quantities.size() &&
        std::any_of(quantities.constBegin(), quantities.constEnd(), [](double value) { return value != 0.0; })) {
        rowsWritten.push_back(row);
    }
    emit calculatedItem();
}

void MaterialQuantitiesCalculator::writeTypeSummary(IfcObjectDefinition* type, const PassTotals& totals)
{
    const Step::String setName = toStepString(settings.totalQuantitiesPropertySetName);
    const auto count = totals.instanceCount.find(type);
    if (count != totals.instanceCount.end()) {
        if (Ifc2x3CC::PropertySetUtils::addProperty(model->editContext(), type, setName, Step::String("Instances"),
                                                    QVariant(count->second), ifc2x3::IfcValue::IfcInteger,
                                                    ifc2x3::IfcSIPrefix_UNSET, true)) {
            announce(type);
        } else {
            LOG4CPLUS_WARN(logger, "Can't create property for item : " << type->getKey());
        }
    }
    const auto sum = totals.typeFunctionalUnitSum.find(type);
    if (sum == totals.typeFunctionalUnitSum.end() || sum->second < 0.0) {
        return;
    }
    ifc2x3::IfcValue::IfcValue_select valueType;
    switch (totals.typeFunctionalUnit.at(type)) {
    case Volume:
        valueType = ifc2x3::IfcValue::IfcVolumeMeasure;
        break;
    case Area:
        valueType = ifc2x3::IfcValue::IfcAreaMeasure;
        break;
    case Length:
        valueType = ifc2x3::IfcValue::IfcLengthMeasure;
        break;
    default:
        return;
    }
    if (!Ifc2x3CC::PropertySetUtils::addProperty(model->editContext(), type, setName, Step::String("Quantity"),
                                                 QVariant(sum->second), valueType, ifc2x3::IfcSIPrefix_UNSET, true)) {
        LOG4CPLUS_WARN(logger, "Can't create property for item : " << type->getKey());
        return;
    }
    // A type whose mass per functional unit was not found (missing, or not
    // a finite number) has no known weight: none is written rather than a
    // weight of 0 or a negative one.
    const double mass = totals.typeMassPerFunctionalUnit.at(type);
    if (mass >= 0.0 &&
        !Ifc2x3CC::PropertySetUtils::addProperty(model->editContext(), type, setName, Step::String("TotalWeight"),
                                                 QVariant(sum->second * mass), ifc2x3::IfcValue::IfcMassMeasure,
                                                 ifc2x3::IfcSIPrefix_KILO, true)) {
        LOG4CPLUS_WARN(logger, "Can't create property for item : " << type->getKey());
    }
    announce(type);
}

} // namespace Orvane
