#pragma once

#include "Orvane/CoreProperty.h"
#include "Orvane/_ifc2x3/UnitConverter.h"

#include "Step/BaseEntity.h"
#include "Step/RefPtr.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace ifc2x3 {
class IfcObjectDefinition;
}

namespace Orvane {
namespace _ifc2x3 {

class IFC2x3Model;

/// A node of the property tree of an IFC object:
///   <object>/Fields/<attribute>
///   <object>/Properties/<property set or element quantity>/<property>[/<sub-property>...]
///   <element>/Type/... (the same tree on the element's type object)
/// Nodes hold a reference on the instance they show, so a node stays usable
/// when its instance is deleted from the model meanwhile (it then shows
/// nothing).
class IFC2x3Property : public CoreProperty
{
public:
    enum class Kind { Object, Fields, Attribute, PropertySets, PropertySet, Property };

    /// The root node of an object.
    static Step::RefPtr<CoreProperty> root(const IFC2x3Model* model, Step::BaseEntity* object);
    /// The node at path from object, or null; only that node is made.
    static Step::RefPtr<CoreProperty> resolve(const IFC2x3Model* model, Step::BaseEntity* object,
                                              const QStringList& path, int row = -1);
    /// The type and the property sets of an object, read from its relations.
    static void readRelations(Step::BaseEntity* object, bool& occurrence, Step::RefPtr<Step::BaseEntity>& type,
                              std::vector<Step::Id>& sets);

    Kind kind() const { return m_kind; }
    Step::BaseEntity* entity() const { return m_entity.get(); }

    int childCount() const override;
    CoreProperty* getChildProperty(int i) const override;
    Step::RefPtr<CoreProperty> findChild(const QString& name) const override;
    QVariant value() const override;
    QVariant numericValue() const override;
    QVariant displayValue() const override;
    QString unitType() const override;

private:
    IFC2x3Property(const IFC2x3Model* model, Kind kind, Step::BaseEntity* entity, int attribute, QString name,
                   QStringList path);

    /// Where a path has led: a node not made yet.
    struct Position
    {
        Kind kind;
        Step::BaseEntity* entity;
        int attribute;
        int row; // model row of entity, or -1 (then relations are read live)
    };
    /// Moves position to its child of that name; false when there is none.
    static bool descend(const IFC2x3Model* model, Position& position, const QString& name);

    /// The lock of the model's data set, which every reader holds.
    std::recursive_mutex& dataSetMutex() const;
    IFC2x3Property* child(Kind kind, Step::BaseEntity* entity, int attribute, const QString& name) const;
    /// The sets, properties or quantities under this node, read again only
    /// when the data set changed since: readers going through them by
    /// position would otherwise walk the list again for each one. The
    /// caller holds the data set's lock, which guards them.
    const std::vector<Step::RefPtr<Step::BaseEntity>>& childEntities() const;
    const Step::Value* rawValue() const;
    /// The kind of measure the value is, and where its own unit would be.
    UnitConverter::Kind measureKind(const Step::Value** ownUnit) const;
    /// A number as displayValue writes it: masses with three decimals,
    /// others with the digits they have.
    static QString displayNumber(double number, UnitConverter::Kind kind);
    double unitFactor(QString* symbol) const;

    const IFC2x3Model* m_model;
    Kind m_kind;
    Step::RefPtr<Step::BaseEntity> m_entity;
    int m_attribute;
    mutable std::vector<Step::RefPtr<Step::BaseEntity>> m_children;
    mutable std::optional<std::uint64_t> m_childrenRead; // the data set's change count then
};

} // namespace _ifc2x3
} // namespace Orvane
