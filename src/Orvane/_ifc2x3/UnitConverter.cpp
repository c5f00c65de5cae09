#include "UnitConverter.h"

#include "ifc2x3/ExpressDataSet.h"

#include <cmath>
#include <mutex>

namespace Orvane {
namespace _ifc2x3 {

namespace {

struct Prefix
{
    const char* name;
    double factor;
    const char* symbol;
};

const Prefix prefixes[] = {{"EXA", 1e18, "E"},  {"PETA", 1e15, "P"},  {"TERA", 1e12, "T"},   {"GIGA", 1e9, "G"},
                           {"MEGA", 1e6, "M"},  {"KILO", 1e3, "k"},   {"HECTO", 1e2, "h"},   {"DECA", 1e1, "da"},
                           {"DECI", 1e-1, "d"}, {"CENTI", 1e-2, "c"}, {"MILLI", 1e-3, "m"},  {"MICRO", 1e-6, "µ"},
                           {"NANO", 1e-9, "n"}, {"PICO", 1e-12, "p"}, {"FEMTO", 1e-15, "f"}, {"ATTO", 1e-18, "a"}};

struct SIName
{
    const char* name;
    const char* symbol;
    int power;       // the prefix applies to the power of the base: mm² = (1e-3)²
    double baseToSI; // gram is the base of mass names, but SI wants kilograms
};

const SIName siNames[] = {
    {"METRE", "m", 1, 1.0},           {"SQUARE_METRE", "m²", 2, 1.0}, {"CUBIC_METRE", "m³", 3, 1.0},
    {"GRAM", "g", 1, 1e-3},           {"SECOND", "s", 1, 1.0},        {"RADIAN", "rad", 1, 1.0},
    {"KELVIN", "K", 1, 1.0},          {"AMPERE", "A", 1, 1.0},        {"NEWTON", "N", 1, 1.0},
    {"PASCAL", "Pa", 1, 1.0},         {"JOULE", "J", 1, 1.0},         {"WATT", "W", 1, 1.0},
    {"DEGREE_CELSIUS", "°C", 1, 1.0}, {"LITRE", "l", 1, 1.0}};

struct KindInfo
{
    const char* unitType;
    const char* siSymbol;
};

// Indexed by UnitConverter::Kind.
const KindInfo kinds[] = {{"", ""},           {"LENGTHUNIT", "m"}, {"AREAUNIT", "m²"}, {"VOLUMEUNIT", "m³"},
                          {"MASSUNIT", "kg"}, {"TIMEUNIT", "s"}};

// Conversion-based units refer to other units; a malformed file could loop.
constexpr int maxUnitDepth = 8;

UnitConverter::Unit unitAt(const Step::BaseEntity* entity, int depth)
{
    UnitConverter::Unit unit;
    if (!entity || depth > maxUnitDepth) {
        return unit;
    }
    if (const auto* si = dynamic_cast<const ifc2x3::IfcSIUnit*>(entity)) {
        const std::string name = si->getName();
        const std::string prefix = si->testPrefix() ? si->getPrefix() : std::string();
        for (const SIName& n : siNames) {
            if (name != n.name) {
                continue;
            }
            double prefixFactor = 1.0;
            QString prefixSymbol;
            for (const Prefix& p : prefixes) {
                if (prefix == p.name) {
                    prefixFactor = p.factor;
                    prefixSymbol = QString::fromUtf8(p.symbol);
                }
            }
            unit.factor = std::pow(prefixFactor, n.power) * n.baseToSI;
            unit.symbol = prefixSymbol + QString::fromUtf8(n.symbol);
            unit.known = true;
        }
        return unit;
    }
    if (const auto* converted = dynamic_cast<const ifc2x3::IfcConversionBasedUnit*>(entity)) {
        const ifc2x3::IfcMeasureWithUnit* factor = converted->getConversionFactor();
        if (!factor) {
            return unit;
        }
        const UnitConverter::Unit base = unitAt(factor->resolve(factor->getUnitComponentValue()), depth + 1);
        const double value = factor->getValueComponentValue().realValue();
        if (base.known && value > 0.0) {
            unit.factor = value * base.factor;
            unit.symbol = QString::fromStdWString(converted->getName().toWString());
            unit.known = true;
        }
    }
    return unit;
}

} // namespace

UnitConverter::Unit UnitConverter::unitOf(const Step::BaseEntity* entity)
{
    return unitAt(entity, 0);
}

UnitConverter::Kind UnitConverter::kindOfMeasure(std::string_view type)
{
    if (type == "IFCLENGTHMEASURE" || type == "IFCPOSITIVELENGTHMEASURE") {
        return Kind::Length;
    }
    if (type == "IFCAREAMEASURE") {
        return Kind::Area;
    }
    if (type == "IFCVOLUMEMEASURE") {
        return Kind::Volume;
    }
    if (type == "IFCMASSMEASURE") {
        return Kind::Mass;
    }
    if (type == "IFCTIMEMEASURE") {
        return Kind::Time;
    }
    return Kind::None;
}

UnitConverter::Kind UnitConverter::kindOfUnitType(const QString& unitType)
{
    for (int i = 1; i < static_cast<int>(Kind::Count); ++i) {
        if (unitType == QLatin1String(kinds[i].unitType)) {
            return static_cast<Kind>(i);
        }
    }
    return Kind::None;
}

QString UnitConverter::unitTypeOfMeasure(std::string_view type)
{
    return unitTypeOf(kindOfMeasure(type));
}

QString UnitConverter::unitTypeOf(Kind kind)
{
    return kind == Kind::None ? QString() : QString::fromLatin1(kinds[static_cast<int>(kind)].unitType);
}

void UnitConverter::ensureLoaded()
{
    // Every conversion comes here: once loaded, no lock is taken.
    if (m_loaded.load(std::memory_order_acquire)) {
        return;
    }
    // Under the data set's lock rather than a flag of its own: readers
    // holding that lock come here, and loading reads the data set.
    std::lock_guard<std::recursive_mutex> lock(m_dataSet->mutex());
    if (!m_loaded.load(std::memory_order_relaxed)) {
        loadProjectUnits();
        m_loaded.store(true, std::memory_order_release);
    }
}

UnitConverter::Unit UnitConverter::projectUnit(Kind kind)
{
    ensureLoaded();
    return m_kindUnits[static_cast<int>(kind)];
}

UnitConverter::Unit UnitConverter::projectUnit(const QString& unitType)
{
    const Kind kind = kindOfUnitType(unitType);
    if (kind != Kind::None) {
        return projectUnit(kind);
    }
    ensureLoaded();
    const auto it = m_projectUnits.constFind(unitType);
    if (it != m_projectUnits.constEnd()) {
        return *it;
    }
    // Without a declaration, SI units are the IFC default.
    Unit unit;
    unit.known = true;
    return unit;
}

void UnitConverter::loadProjectUnits()
{
    // Without a declaration, SI units are the IFC default.
    for (int i = 0; i < static_cast<int>(Kind::Count); ++i) {
        m_kindUnits[i].factor = 1.0;
        m_kindUnits[i].symbol = QString::fromUtf8(kinds[i].siSymbol);
        m_kindUnits[i].known = true;
    }
    const auto projects = m_dataSet->getAllIfcProject();
    if (projects.empty()) {
        return;
    }
    const ifc2x3::IfcUnitAssignment* assignment = projects.front()->getUnitsInContext();
    if (!assignment) {
        return;
    }
    for (const Step::Value& item : assignment->getUnitsValue().items()) {
        const Step::BaseEntity* entity = assignment->resolve(item);
        std::string type;
        if (const auto* named = dynamic_cast<const ifc2x3::IfcNamedUnit*>(entity)) {
            type = named->getUnitType();
        }
        const Unit unit = unitOf(entity);
        const QString unitType = QString::fromStdString(type);
        if (type.empty() || !unit.known || m_projectUnits.contains(unitType)) {
            continue;
        }
        m_projectUnits.insert(unitType, unit);
        const Kind kind = kindOfUnitType(unitType);
        if (kind != Kind::None) {
            m_kindUnits[static_cast<int>(kind)] = unit;
        }
    }
}

} // namespace _ifc2x3
} // namespace Orvane
