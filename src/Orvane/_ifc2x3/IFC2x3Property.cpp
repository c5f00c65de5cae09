#include "IFC2x3Property.h"

#include "IFC2x3Model.h"
#include "UnitConverter.h"

#include "Orvane/BooleanVariant.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QReadLocker>

namespace Orvane {
namespace _ifc2x3 {

namespace {

const QString fieldsName = QStringLiteral("Fields");
const QString propertiesName = QStringLiteral("Properties");
const QString typeName = QStringLiteral("Type");

/// The Name attribute of property sets, properties and quantities (UTF-8).
const std::string& nameOf(const Step::BaseEntity* entity)
{
    static const std::string none;
    if (dynamic_cast<const ifc2x3::IfcRoot*>(entity)) {
        return entity->argument(2).plain().text();
    }
    if (dynamic_cast<const ifc2x3::IfcProperty*>(entity) || dynamic_cast<const ifc2x3::IfcPhysicalQuantity*>(entity)) {
        return entity->argument(0).plain().text();
    }
    return none;
}

QString toQString(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}

QVariant logicalVariant(const Step::Value& value)
{
    const std::string& t = value.plain().text();
    return QVariant::fromValue(BooleanVariant(t == "T"   ? BooleanVariant::True
                                              : t == "F" ? BooleanVariant::False
                                                         : BooleanVariant::Unknown));
}

QVariant toVariant(const Step::Value& value, bool logical)
{
    switch (value.kind()) {
    case Step::Value::Kind::Typed: {
        const std::string& type = value.text();
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

IFC2x3Property* IFC2x3Property::child(Kind kind, Step::BaseEntity* entity, int attribute, const QString& name) const
{
    return new IFC2x3Property(m_model, kind, entity, attribute, name, path() + QStringList(name));
}

Step::BaseEntity* IFC2x3Property::typeObject() const
{
    const auto* object = dynamic_cast<const ifc2x3::IfcObject*>(m_entity.get());
    if (!object) {
        return nullptr;
    }
    for (const auto& relation : object->getIsDefinedBy()) {
        if (const auto* byType = dynamic_cast<const ifc2x3::IfcRelDefinesByType*>(relation.get())) {
            return byType->getRelatingType();
        }
    }
    return nullptr;
}

std::vector<Step::BaseEntity*> IFC2x3Property::childEntities() const
{
    std::vector<Step::BaseEntity*> out;
    Step::BaseEntity* entity = m_entity.get();
    if (m_kind == Kind::PropertySets) {
        if (const auto* object = dynamic_cast<const ifc2x3::IfcObject*>(entity)) {
            for (const auto& relation : object->getIsDefinedBy()) {
                if (const auto* byProperties = dynamic_cast<const ifc2x3::IfcRelDefinesByProperties*>(relation.get())) {
                    if (Step::BaseEntity* set = byProperties->getRelatingPropertyDefinition()) {
                        out.push_back(set);
                    }
                }
            }
        } else if (const auto* type = dynamic_cast<const ifc2x3::IfcTypeObject*>(entity)) {
            for (auto* set : type->getHasPropertySets()) {
                out.push_back(set);
            }
        }
    } else if (m_kind == Kind::PropertySet || m_kind == Kind::Property) {
        if (const auto* set = dynamic_cast<const ifc2x3::IfcPropertySet*>(entity)) {
            for (auto* property : set->getHasProperties()) {
                out.push_back(property);
            }
        } else if (const auto* quantities = dynamic_cast<const ifc2x3::IfcElementQuantity*>(entity)) {
            for (auto* quantity : quantities->getQuantities()) {
                out.push_back(quantity);
            }
        } else if (const auto* complex = dynamic_cast<const ifc2x3::IfcComplexProperty*>(entity)) {
            for (auto* property : complex->getHasProperties()) {
                out.push_back(property);
            }
        }
    }
    return out;
}

int IFC2x3Property::childCount() const
{
    QReadLocker locker(&m_model->lock());
    if (!m_entity || !m_entity->getExpressDataSet()) {
        return 0;
    }
    switch (m_kind) {
    case Kind::Object:
        return typeObject() ? 3 : 2;
    case Kind::Fields:
        return static_cast<int>(m_entity->argumentCount());
    case Kind::Attribute:
        return 0;
    default:
        return static_cast<int>(childEntities().size());
    }
}

CoreProperty* IFC2x3Property::getChildProperty(int i) const
{
    QReadLocker locker(&m_model->lock());
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
            if (Step::BaseEntity* type = typeObject()) {
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
        const std::vector<Step::BaseEntity*> children = childEntities();
        if (static_cast<std::size_t>(i) >= children.size()) {
            return nullptr;
        }
        Step::BaseEntity* entity = children[static_cast<std::size_t>(i)];
        return child(m_kind == Kind::PropertySets ? Kind::PropertySet : Kind::Property, entity, -1,
                     toQString(nameOf(entity)));
    }
    }
}

Step::RefPtr<CoreProperty> IFC2x3Property::findChild(const QString& name) const
{
    QReadLocker locker(&m_model->lock());
    return findChildUnlocked(name);
}

Step::RefPtr<CoreProperty> IFC2x3Property::findChildUnlocked(const QString& name) const
{
    if (!m_entity || !m_entity->getExpressDataSet()) {
        return {};
    }
    switch (m_kind) {
    case Kind::Object:
        if (name == fieldsName) {
            return Step::RefPtr<CoreProperty>(child(Kind::Fields, m_entity.get(), -1, fieldsName));
        }
        if (name == propertiesName) {
            return Step::RefPtr<CoreProperty>(child(Kind::PropertySets, m_entity.get(), -1, propertiesName));
        }
        if (name == typeName) {
            if (Step::BaseEntity* type = typeObject()) {
                return Step::RefPtr<CoreProperty>(child(Kind::Object, type, -1, typeName));
            }
        }
        return {};
    case Kind::Fields: {
        const int index = m_entity->attributeIndex(name.toStdString());
        return index < 0 ? Step::RefPtr<CoreProperty>()
                         : Step::RefPtr<CoreProperty>(child(Kind::Attribute, m_entity.get(), index, name));
    }
    case Kind::Attribute:
        return {};
    default: {
        // The first child of that name wins; compared in UTF-8 to avoid
        // converting every name met.
        const std::string wanted = name.toStdString();
        for (Step::BaseEntity* entity : childEntities()) {
            if (nameOf(entity) == wanted) {
                return Step::RefPtr<CoreProperty>(
                    child(m_kind == Kind::PropertySets ? Kind::PropertySet : Kind::Property, entity, -1, name));
            }
        }
        return {};
    }
    }
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
    if (dynamic_cast<const ifc2x3::IfcPropertySingleValue*>(entity) ||
        dynamic_cast<const ifc2x3::IfcPropertyEnumeratedValue*>(entity)) {
        return &entity->argument(2);
    }
    if (dynamic_cast<const ifc2x3::IfcPhysicalSimpleQuantity*>(entity)) {
        return &entity->argument(3);
    }
    return nullptr;
}

QVariant IFC2x3Property::valueUnlocked() const
{
    if (!m_entity || !m_entity->getExpressDataSet()) {
        return {};
    }
    if (m_kind == Kind::Object) {
        if (const auto* root = dynamic_cast<const ifc2x3::IfcRoot*>(m_entity.get())) {
            return QString::fromStdWString(ifc2x3::ExpressDataSet::label(*root).toWString());
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
    if (raw->isList() && dynamic_cast<const ifc2x3::IfcPropertyEnumeratedValue*>(m_entity.get())) {
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

double IFC2x3Property::unitFactor(QString* symbol) const
{
    const Step::BaseEntity* entity = m_entity.get();
    QString unitType;
    const Step::Value* ownUnit = nullptr;
    if (dynamic_cast<const ifc2x3::IfcQuantityLength*>(entity)) {
        unitType = QStringLiteral("LENGTHUNIT");
    } else if (dynamic_cast<const ifc2x3::IfcQuantityArea*>(entity)) {
        unitType = QStringLiteral("AREAUNIT");
    } else if (dynamic_cast<const ifc2x3::IfcQuantityVolume*>(entity)) {
        unitType = QStringLiteral("VOLUMEUNIT");
    } else if (dynamic_cast<const ifc2x3::IfcQuantityWeight*>(entity)) {
        unitType = QStringLiteral("MASSUNIT");
    } else if (dynamic_cast<const ifc2x3::IfcQuantityTime*>(entity)) {
        unitType = QStringLiteral("TIMEUNIT");
    } else if (dynamic_cast<const ifc2x3::IfcPropertySingleValue*>(entity)) {
        const Step::Value& nominal = entity->argument(2);
        if (nominal.isTyped()) {
            unitType = UnitConverter::unitTypeOfMeasure(nominal.text());
        }
    }
    if (unitType.isEmpty()) {
        return 1.0;
    }
    if (dynamic_cast<const ifc2x3::IfcPhysicalSimpleQuantity*>(entity)) {
        ownUnit = &entity->argument(2);
    } else {
        ownUnit = &entity->argument(3);
    }
    UnitConverter::Unit unit;
    if (ownUnit->isReference()) {
        unit = UnitConverter::unitOf(entity->resolve(*ownUnit));
    }
    if (!unit.known) {
        unit = m_model->units().projectUnit(unitType);
    }
    if (symbol) {
        *symbol = unit.symbol;
    }
    return unit.factor;
}

QVariant IFC2x3Property::numericValueUnlocked() const
{
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

QVariant IFC2x3Property::value() const
{
    QReadLocker locker(&m_model->lock());
    return valueUnlocked();
}

QVariant IFC2x3Property::numericValue() const
{
    QReadLocker locker(&m_model->lock());
    return numericValueUnlocked();
}

QVariant IFC2x3Property::displayValue() const
{
    QReadLocker locker(&m_model->lock());
    const QVariant v = valueUnlocked();
    if (v.userType() == BooleanVariant::metaTypeId()) {
        return v.value<BooleanVariant>().toString();
    }
    if (v.type() == QVariant::Double && m_kind == Kind::Property) {
        QString symbol;
        unitFactor(&symbol);
        const QString number = QString::number(v.toDouble(), 'g', 12);
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
