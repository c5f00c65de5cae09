#include "IFC2x3Property.h"

#include "IFC2x3Model.h"
#include "UnitConverter.h"

#include "Orvane/BooleanVariant.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QLocale>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace Orvane {
namespace _ifc2x3 {

namespace {

const QString fieldsName = QStringLiteral("Fields");
const QString propertiesName = QStringLiteral("Properties");
const QString typeName = QStringLiteral("Type");

using ifc2x3::InverseRelation;

bool isA(const Step::BaseEntity* entity, const Step::ClassType& type)
{
    return entity && entity->isOfType(type);
}

/// The Name attribute of property sets, properties and quantities (UTF-8).
std::string_view nameOf(const Step::BaseEntity* entity)
{
    if (isA(entity, ifc2x3::IfcRoot::getClassType())) {
        return static_cast<const ifc2x3::IfcRoot*>(entity)->getNameValue().plain().text();
    }
    if (isA(entity, ifc2x3::IfcProperty::getClassType())) {
        return static_cast<const ifc2x3::IfcProperty*>(entity)->getNameValue().plain().text();
    }
    if (isA(entity, ifc2x3::IfcPhysicalQuantity::getClassType())) {
        return static_cast<const ifc2x3::IfcPhysicalQuantity*>(entity)->getNameValue().plain().text();
    }
    return {};
}

/// Whether a UTF-8 name is that text; ASCII names, by far the most common,
/// compare without converting anything.
bool sameName(std::string_view utf8, const QString& name)
{
    const QChar* text = name.constData();
    const std::size_t length = static_cast<std::size_t>(name.size());
    for (std::size_t i = 0; i < length; ++i) {
        const ushort c = text[i].unicode();
        if (c >= 0x80) {
            const QByteArray wanted = name.toUtf8();
            return utf8.size() == static_cast<std::size_t>(wanted.size()) &&
                   std::memcmp(utf8.data(), wanted.constData(), utf8.size()) == 0;
        }
        // Up to here both are ASCII, which UTF-8 keeps byte for byte.
        if (i >= utf8.size() || static_cast<unsigned char>(utf8[i]) != c) {
            return false;
        }
    }
    return utf8.size() == length;
}

/// The type of an element: the first IfcRelDefinesByType in file order
/// that lists it.
Step::BaseEntity* typeOf(Step::BaseEntity* entity)
{
    if (!isA(entity, ifc2x3::IfcObject::getClassType())) {
        return nullptr;
    }
    auto* dataSet = static_cast<ifc2x3::ExpressDataSet*>(entity->getExpressDataSet());
    Step::BaseEntity* type = nullptr;
    // Only the typing relation is decoded, one shared by many occurrences.
    dataSet->forEachInverseKey(
        *entity, InverseRelation::IsDefinedBy, ifc2x3::IfcRelDefinesByType::getClassType(), [&](Step::Id key) {
            Step::BaseEntity* relation = dataSet->get(key);
            if (!relation) {
                return false;
            }
            type = relation->resolve(static_cast<ifc2x3::IfcRelDefinesByType*>(relation)->getRelatingTypeValue());
            return true;
        });
    return isA(type, ifc2x3::IfcTypeObject::getClassType()) ? type : nullptr;
}

/// Step::Lexer::textFingerprint() of a name in UTF-8; ASCII names, by far
/// the most common, without converting them.
std::uint32_t fingerprintOf(const QString& name)
{
    const auto ascii = std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii) {
        return Step::Lexer::textFingerprint(name.utf16(), static_cast<std::size_t>(name.size()));
    }
    const QByteArray utf8 = name.toUtf8();
    return Step::Lexer::textFingerprint(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

enum class NameRead { Same, Other, Unknown };

/// Whether an instance not decoded yet has that name, read from its text;
/// Unknown when the text cannot tell (the instance is decoded, say).
NameRead peekName(const Step::BaseExpressDataSet& dataSet, Step::Id key, std::size_t nameIndex, const QString& name)
{
    // A set's name was told at open: a set of another one is not read.
    if (nameIndex == ifc2x3::IfcRoot::NameIndex) {
        const std::uint32_t fingerprint = dataSet.textFingerprint(key);
        if (fingerprint != 0 && fingerprint != fingerprintOf(name)) {
            return NameRead::Other;
        }
    }
    Step::Value read;
    if (!dataSet.peekArgument(key, nameIndex, read)) {
        return NameRead::Unknown;
    }
    return sameName(read.plain().text(), name) ? NameRead::Same : NameRead::Other;
}

/// Whether a property or quantity not decoded yet may have that name: its
/// name is read from its text, so that looking for one property of a set
/// decodes that one only.
bool mayBeNamed(const Step::BaseExpressDataSet& dataSet, Step::Id key, std::size_t nameIndex, const QString& name)
{
    return peekName(dataSet, key, nameIndex, name) != NameRead::Other;
}

bool mayBeNamed(const Step::BaseEntity* owner, const Step::Value& child, const QString& name)
{
    // The child is a property or a quantity, not known yet which one.
    static_assert(ifc2x3::IfcProperty::NameIndex == ifc2x3::IfcPhysicalQuantity::NameIndex);
    return !child.isReference() ||
           mayBeNamed(*owner->getExpressDataSet(), child.referenceKey(), ifc2x3::IfcProperty::NameIndex, name);
}

/// Calls visit on the children of a set whose values are still in its text,
/// read from there: the set itself is not decoded. False, visiting nothing,
/// when the text cannot be read.
template <class Visit>
bool forEachChildInText(Step::BaseEntity* set, std::size_t listIndex, const Step::ClassType& childType, Visit& visit,
                        const QString* name)
{
    Step::BaseExpressDataSet& dataSet = *set->getExpressDataSet();
    std::vector<Step::Id> children;
    const bool read =
        dataSet.forEachUndecodedReference(dataSet.slotOfKey(set->getKey()), std::uint64_t(1) << listIndex,
                                          [&children](std::size_t, Step::Id child) { children.push_back(child); });
    if (!read) {
        return false;
    }
    for (const Step::Id key : children) {
        if (name && !mayBeNamed(dataSet, key, ifc2x3::IfcProperty::NameIndex, *name)) {
            continue;
        }
        Step::BaseEntity* child = dataSet.get(key);
        if (isA(child, childType) && visit(child)) {
            break;
        }
    }
    return true;
}

/// Calls visit on the property sets of an object (occurrence: through its
/// relations in file order; type: its list in order), or on the properties
/// or quantities of a set or complex property, until visit returns true.
/// With a name, properties and quantities of another name are skipped
/// before being decoded.
template <class Visit>
void forEachChild(bool sets, Step::BaseEntity* entity, Visit&& visit, const QString* name = nullptr)
{
    if (sets) {
        const Step::ClassType& setType = ifc2x3::IfcPropertySetDefinition::getClassType();
        if (isA(entity, ifc2x3::IfcObject::getClassType())) {
            auto* dataSet = static_cast<ifc2x3::ExpressDataSet*>(entity->getExpressDataSet());
            // An occurrence has a relation of its own per set: their text
            // names the set, and they stay undecoded.
            dataSet->forEachDefiningSet(*entity, [&](Step::Id, Step::Id key) {
                Step::BaseEntity* set = dataSet->get(key);
                return set && visit(set);
            });
        } else if (isA(entity, ifc2x3::IfcTypeObject::getClassType())) {
            const auto* type = static_cast<const ifc2x3::IfcTypeObject*>(entity);
            for (const Step::Value& item : type->getHasPropertySetsValue().items()) {
                Step::BaseEntity* set = entity->resolve(item);
                if (isA(set, setType) && visit(set)) {
                    return;
                }
            }
        }
        return;
    }
    std::size_t listIndex = 0;
    const Step::ClassType* childType = &ifc2x3::IfcProperty::getClassType();
    if (isA(entity, ifc2x3::IfcPropertySet::getClassType())) {
        listIndex = ifc2x3::IfcPropertySet::HasPropertiesIndex;
    } else if (isA(entity, ifc2x3::IfcElementQuantity::getClassType())) {
        listIndex = ifc2x3::IfcElementQuantity::QuantitiesIndex;
        childType = &ifc2x3::IfcPhysicalQuantity::getClassType();
    } else if (isA(entity, ifc2x3::IfcComplexProperty::getClassType())) {
        listIndex = ifc2x3::IfcComplexProperty::HasPropertiesIndex;
    } else {
        return;
    }
    if (entity->argumentsUnread() && forEachChildInText(entity, listIndex, *childType, visit, name)) {
        return;
    }
    for (const Step::Value& item : entity->argument(listIndex).items()) {
        if (name && !mayBeNamed(entity, item, *name)) {
            continue;
        }
        Step::BaseEntity* child = entity->resolve(item);
        if (isA(child, *childType) && visit(child)) {
            return;
        }
    }
}

/// Where every simple quantity holds its number (LengthValue, AreaValue...).
constexpr std::size_t simpleQuantityValueIndex = ifc2x3::IfcQuantityLength::LengthValueIndex;
static_assert(ifc2x3::IfcQuantityArea::AreaValueIndex == simpleQuantityValueIndex &&
              ifc2x3::IfcQuantityVolume::VolumeValueIndex == simpleQuantityValueIndex &&
              ifc2x3::IfcQuantityCount::CountValueIndex == simpleQuantityValueIndex &&
              ifc2x3::IfcQuantityWeight::WeightValueIndex == simpleQuantityValueIndex &&
              ifc2x3::IfcQuantityTime::TimeValueIndex == simpleQuantityValueIndex);

QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}

QVariant logicalVariant(const Step::Value& value)
{
    const std::string_view t = value.plain().text();
    return QVariant::fromValue(BooleanVariant(t == "T"   ? BooleanVariant::True
                                              : t == "F" ? BooleanVariant::False
                                                         : BooleanVariant::Unknown));
}

QVariant toVariant(const Step::Value& value, bool logical)
{
    switch (value.kind()) {
    case Step::Value::Kind::Typed: {
        const std::string_view type = value.text();
        return toVariant(value.inner(), logical || type == "IFCBOOLEAN" || type == "IFCLOGICAL");
    }
    case Step::Value::Kind::Real:
        return value.realValue();
    case Step::Value::Kind::Integer: {
        const qint64 i = value.integerValue();
        return i >= INT_MIN && i <= INT_MAX ? QVariant(static_cast<int>(i)) : QVariant(i);
    }
    case Step::Value::Kind::String:
        return toQString(value.text());
    case Step::Value::Kind::Enumeration:
        return logical ? logicalVariant(value) : QVariant(toQString(value.text()));
    case Step::Value::Kind::Reference:
        return QStringLiteral("#%1").arg(value.referenceKey());
    case Step::Value::Kind::List: {
        QVariantList items;
        for (const Step::Value& item : value.items()) {
            items.append(toVariant(item, logical));
        }
        return items;
    }
    default:
        return {};
    }
}

bool isLogicalType(const char* type)
{
    const std::string t(type);
    return t == "BOOLEAN" || t == "LOGICAL" || t == "IfcBoolean" || t == "IfcLogical";
}

} // namespace

IFC2x3Property::IFC2x3Property(const IFC2x3Model* model, Kind kind, Step::BaseEntity* entity, int attribute,
                               QString name, QStringList path)
    : CoreProperty(std::move(name), std::move(path)), m_model(model), m_kind(kind), m_entity(entity),
      m_attribute(attribute)
{
}

Step::RefPtr<CoreProperty> IFC2x3Property::root(const IFC2x3Model* model, Step::BaseEntity* object)
{
    return Step::RefPtr<CoreProperty>(new IFC2x3Property(model, Kind::Object, object, -1, QString(), {}));
}

std::recursive_mutex& IFC2x3Property::dataSetMutex() const
{
    return m_model->dataSet()->mutex();
}

IFC2x3Property* IFC2x3Property::child(Kind kind, Step::BaseEntity* entity, int attribute, const QString& name) const
{
    return new IFC2x3Property(m_model, kind, entity, attribute, name, path() + QStringList(name));
}

const std::vector<Step::RefPtr<Step::BaseEntity>>& IFC2x3Property::childEntities() const
{
    const std::uint64_t changes = static_cast<ifc2x3::ExpressDataSet*>(m_entity->getExpressDataSet())->changeCount();
    if (m_childrenRead == changes) {
        return m_children;
    }
    m_children.clear();
    if (m_kind == Kind::PropertySets || m_kind == Kind::PropertySet || m_kind == Kind::Property) {
        forEachChild(m_kind == Kind::PropertySets, m_entity.get(), [this](Step::BaseEntity* child) {
            m_children.emplace_back(child);
            return false;
        });
    }
    m_childrenRead = changes;
    return m_children;
}

int IFC2x3Property::childCount() const
{
    const std::lock_guard<std::recursive_mutex> lock(dataSetMutex());
    if (!m_entity || !m_entity->getExpressDataSet()) {
        return 0;
    }
    switch (m_kind) {
    case Kind::Object:
        return typeOf(m_entity.get()) ? 3 : 2;
    case Kind::Fields:
        return static_cast<int>(m_entity->argumentCount());
    case Kind::Attribute:
        return 0;
    default: {
        return static_cast<int>(childEntities().size());
    }
    }
}

CoreProperty* IFC2x3Property::getChildProperty(int i) const
{
    const std::lock_guard<std::recursive_mutex> lock(dataSetMutex());
    if (!m_entity || !m_entity->getExpressDataSet() || i < 0) {
        return nullptr;
    }
    switch (m_kind) {
    case Kind::Object:
        if (i == 0) {
            return child(Kind::Fields, m_entity.get(), -1, fieldsName);
        }
        if (i == 1) {
            return child(Kind::PropertySets, m_entity.get(), -1, propertiesName);
        }
        if (i == 2) {
            if (Step::BaseEntity* type = typeOf(m_entity.get())) {
                return child(Kind::Object, type, -1, typeName);
            }
        }
        return nullptr;
    case Kind::Fields:
        if (static_cast<std::size_t>(i) >= m_entity->argumentCount()) {
            return nullptr;
        }
        return child(Kind::Attribute, m_entity.get(), i,
                     QString::fromLatin1(m_entity->getExpressDataSet()->schema().attributeName(
                         m_entity->getType().id(), static_cast<std::size_t>(i))));
    case Kind::Attribute:
        return nullptr;
    default: {
        const auto& children = childEntities();
        if (static_cast<std::size_t>(i) >= children.size()) {
            return nullptr;
        }
        Step::BaseEntity* found = children[static_cast<std::size_t>(i)].get();
        return child(m_kind == Kind::PropertySets ? Kind::PropertySet : Kind::Property, found, -1,
                     toQString(nameOf(found)));
    }
    }
}

Step::RefPtr<CoreProperty> IFC2x3Property::findChild(const QString& name) const
{
    const std::lock_guard<std::recursive_mutex> lock(dataSetMutex());
    if (!m_entity || !m_entity->getExpressDataSet()) {
        return {};
    }
    Position position{m_kind, m_entity.get(), m_attribute, -1};
    if (!descend(m_model, position, name)) {
        return {};
    }
    return Step::RefPtr<CoreProperty>(child(position.kind, position.entity, position.attribute, name));
}

bool IFC2x3Property::descend(const IFC2x3Model* model, Position& position, const QString& name)
{
    if (name.isEmpty()) {
        return false;
    }
    const int row = position.row;
    position.row = -1;
    switch (position.kind) {
    case Kind::Object:
        if (name == fieldsName) {
            position.kind = Kind::Fields;
            return true;
        }
        if (name == propertiesName) {
            position.kind = Kind::PropertySets;
            position.row = row;
            return true;
        }
        if (name == typeName) {
            if (row >= 0) {
                position.entity = model->rowRelations(row).type.get();
            } else {
                position.entity = typeOf(position.entity);
            }
            return position.entity != nullptr;
        }
        return false;
    case Kind::Fields:
        position.attribute = position.entity->attributeIndex(name.toStdString());
        position.kind = Kind::Attribute;
        return position.attribute >= 0;
    case Kind::Attribute:
        return false;
    default: {
        // The first child of that name wins.
        Step::BaseEntity* found = nullptr;
        auto match = [&](Step::BaseEntity* entity) {
            if (sameName(nameOf(entity), name)) {
                found = entity;
                return true;
            }
            return false;
        };
        const IFC2x3Model::RowRelations* relations = row >= 0 ? &model->rowRelations(row) : nullptr;
        // Only an occurrence's sets are kept per row; a type lists its own.
        if (position.kind == Kind::PropertySets && relations && relations->occurrence) {
            // Only the set of that name is decoded.
            Step::BaseExpressDataSet& dataSet = *model->dataSet();
            for (const Step::Id key : relations->sets) {
                const NameRead read = peekName(dataSet, key, ifc2x3::IfcRoot::NameIndex, name);
                if (read == NameRead::Other) {
                    continue;
                }
                if (read == NameRead::Same) {
                    // Named so in its text: its values stay there, the
                    // reader mostly going on to one of its properties.
                    found = dataSet.getDeferred(key);
                    if (found) {
                        break;
                    }
                    continue;
                }
                Step::BaseEntity* set = dataSet.get(key);
                if (set && match(set)) {
                    break;
                }
            }
        } else {
            forEachChild(position.kind == Kind::PropertySets, position.entity, match, &name);
        }
        if (!found) {
            return false;
        }
        position.kind = position.kind == Kind::PropertySets ? Kind::PropertySet : Kind::Property;
        position.entity = found;
        return true;
    }
    }
}

void IFC2x3Property::readRelations(Step::BaseEntity* object, bool& occurrence, Step::RefPtr<Step::BaseEntity>& type,
                                   std::vector<Step::Id>& sets)
{
    type = nullptr;
    sets.clear();
    occurrence = object && object->getExpressDataSet() && object->isOfType(ifc2x3::IfcObject::getClassType());
    if (!occurrence) {
        return;
    }
    type = typeOf(object);
    // The sets are told from their relations' text, none of them decoded.
    auto* dataSet = static_cast<ifc2x3::ExpressDataSet*>(object->getExpressDataSet());
    dataSet->forEachDefiningSet(*object, [&sets](Step::Id, Step::Id set) { sets.push_back(set); });
}

Step::RefPtr<CoreProperty> IFC2x3Property::resolve(const IFC2x3Model* model, Step::BaseEntity* object,
                                                   const QStringList& path, int row)
{
    // With a row, what the path needs of the object is kept by the model:
    // the object itself need not be touched.
    // An empty path would name the object itself: no reader asks for that.
    if (!object || path.isEmpty()) {
        return {};
    }
    const std::lock_guard<std::recursive_mutex> lock(model->dataSet()->mutex());
    if (row < 0 && !object->getExpressDataSet()) {
        return {};
    }
    Position position{Kind::Object, object, -1, row};
    for (const QString& component : path) {
        if (!descend(model, position, component)) {
            return {};
        }
    }
    // Only the node at the end is made: resolving a path costs no
    // allocation per component.
    return Step::RefPtr<CoreProperty>(new IFC2x3Property(model, position.kind, position.entity, position.attribute,
                                                         path.isEmpty() ? QString() : path.last(), path));
}

const Step::Value* IFC2x3Property::rawValue() const
{
    const Step::BaseEntity* entity = m_entity.get();
    if (m_kind == Kind::Attribute) {
        return &entity->argument(static_cast<std::size_t>(m_attribute));
    }
    if (m_kind != Kind::Property) {
        return nullptr;
    }
    if (isA(entity, ifc2x3::IfcPropertySingleValue::getClassType())) {
        return &static_cast<const ifc2x3::IfcPropertySingleValue*>(entity)->getNominalValueValue();
    }
    if (isA(entity, ifc2x3::IfcPropertyEnumeratedValue::getClassType())) {
        return &static_cast<const ifc2x3::IfcPropertyEnumeratedValue*>(entity)->getEnumerationValuesValue();
    }
    if (isA(entity, ifc2x3::IfcPhysicalSimpleQuantity::getClassType())) {
        return &entity->argument(simpleQuantityValueIndex);
    }
    return nullptr;
}

QVariant IFC2x3Property::value() const
{
    const std::lock_guard<std::recursive_mutex> lock(dataSetMutex());
    if (!m_entity || !m_entity->getExpressDataSet()) {
        return {};
    }
    if (m_kind == Kind::Object) {
        if (isA(m_entity.get(), ifc2x3::IfcRoot::getClassType())) {
            const auto& root = static_cast<const ifc2x3::IfcRoot&>(*m_entity);
            return QString::fromStdWString(ifc2x3::ExpressDataSet::label(root).toWString());
        }
        return {};
    }
    const Step::Value* raw = rawValue();
    if (!raw) {
        return {};
    }
    bool logical = false;
    if (m_kind == Kind::Attribute) {
        const auto& schema = static_cast<const ifc2x3::Schema&>(m_entity->getExpressDataSet()->schema());
        logical = isLogicalType(schema.attributeType(m_entity->getType().id(), static_cast<std::size_t>(m_attribute)));
    }
    if (raw->isList() && isA(m_entity.get(), ifc2x3::IfcPropertyEnumeratedValue::getClassType())) {
        // An enumerated property usually holds one value: show it as such.
        const auto& items = raw->items();
        if (items.size() == 1) {
            return toVariant(items.front(), false);
        }
        QStringList texts;
        for (const Step::Value& item : items) {
            texts.append(toVariant(item, false).toString());
        }
        return texts.join(QStringLiteral(", "));
    }
    return toVariant(*raw, logical);
}

UnitConverter::Kind IFC2x3Property::measureKind(const Step::Value** ownUnit) const
{
    const Step::BaseEntity* entity = m_entity.get();
    using UnitKind = UnitConverter::Kind;
    if (isA(entity, ifc2x3::IfcPhysicalSimpleQuantity::getClassType())) {
        *ownUnit = &static_cast<const ifc2x3::IfcPhysicalSimpleQuantity*>(entity)->getUnitValue();
        const Step::ClassType& type = entity->getType();
        if (type.isDerivedFrom(ifc2x3::IfcQuantityLength::getClassType())) {
            return UnitKind::Length;
        }
        if (type.isDerivedFrom(ifc2x3::IfcQuantityArea::getClassType())) {
            return UnitKind::Area;
        }
        if (type.isDerivedFrom(ifc2x3::IfcQuantityVolume::getClassType())) {
            return UnitKind::Volume;
        }
        if (type.isDerivedFrom(ifc2x3::IfcQuantityWeight::getClassType())) {
            return UnitKind::Mass;
        }
        if (type.isDerivedFrom(ifc2x3::IfcQuantityTime::getClassType())) {
            return UnitKind::Time;
        }
        return UnitKind::None;
    }
    if (isA(entity, ifc2x3::IfcPropertySingleValue::getClassType())) {
        // Measures of these kinds are normalised as quantities are.
        const auto* single = static_cast<const ifc2x3::IfcPropertySingleValue*>(entity);
        *ownUnit = &single->getUnitValue();
        const Step::Value& nominal = single->getNominalValueValue();
        return nominal.isTyped() ? UnitConverter::kindOfMeasure(nominal.text()) : UnitKind::None;
    }
    return UnitKind::None;
}

double IFC2x3Property::unitFactor(QString* symbol) const
{
    const Step::Value* ownUnit = nullptr;
    const UnitConverter::Kind kind = measureKind(&ownUnit);
    if (kind == UnitConverter::Kind::None) {
        return 1.0;
    }
    UnitConverter::Unit unit;
    if (ownUnit->isReference()) {
        unit = UnitConverter::unitOf(m_entity->resolve(*ownUnit));
    }
    if (!unit.known) {
        unit = m_model->units().projectUnit(kind);
    }
    if (symbol) {
        *symbol = unit.symbol;
    }
    return unit.factor;
}

QString IFC2x3Property::unitType() const
{
    const std::lock_guard<std::recursive_mutex> lock(dataSetMutex());
    if (m_kind != Kind::Property || !m_entity || !m_entity->getExpressDataSet()) {
        return {};
    }
    const Step::Value* ownUnit = nullptr;
    return UnitConverter::unitTypeOf(measureKind(&ownUnit));
}

QVariant IFC2x3Property::numericValue() const
{
    const std::lock_guard<std::recursive_mutex> lock(dataSetMutex());
    if (!m_entity || !m_entity->getExpressDataSet()) {
        return {};
    }
    const Step::Value* raw = rawValue();
    if (!raw || !raw->plain().isNumber()) {
        return {};
    }
    const double number = raw->plain().realValue();
    return m_kind == Kind::Property ? number * unitFactor(nullptr) : number;
}

QString IFC2x3Property::displayNumber(double number, UnitConverter::Kind kind)
{
    const QLocale locale;
    if (kind == UnitConverter::Kind::Mass) {
        return locale.toString(number, 'f', 3);
    }
    // Twelve significant digits hide the noise of binary fractions (0.3
    // rather than 0.30000000000000004), then as few digits as show them.
    const double rounded = QString::number(number, 'g', 12).toDouble();
    return locale.toString(rounded, 'f', QLocale::FloatingPointShortest);
}

QVariant IFC2x3Property::displayValue() const
{
    const std::lock_guard<std::recursive_mutex> lock(dataSetMutex());
    const QVariant v = value();
    if (v.userType() == BooleanVariant::metaTypeId()) {
        return v.value<BooleanVariant>().toString();
    }
    if (v.type() == QVariant::Double && m_kind == Kind::Property) {
        QString symbol;
        unitFactor(&symbol);
        const Step::Value* ownUnit = nullptr;
        const QString number = displayNumber(v.toDouble(), measureKind(&ownUnit));
        return symbol.isEmpty() ? number : number + QLatin1Char(' ') + symbol;
    }
    if (v.type() == QVariant::List) {
        QStringList texts;
        for (const QVariant& item : v.toList()) {
            texts.append(item.toString());
        }
        return QStringLiteral("(") + texts.join(QStringLiteral(", ")) + QStringLiteral(")");
    }
    return v.toString();
}

} // namespace _ifc2x3
} // namespace Orvane
