#pragma once

#include "ifc2x3/generated/Enums.h"

#include "Step/String.h"
#include "Step/Value.h"

#include <QVariant>

#include <string>
#include <string_view>
#include <vector>

namespace ifc2x3 {
class ExpressDataSet;
class IfcObjectDefinition;
class IfcPropertySetDefinition;
} // namespace ifc2x3

namespace Orvane {
namespace Ifc2x3CC {

class EditContext;

/// Editing of the property sets of IFC objects. Every operation holds the
/// data set's lock meanwhile.
///
/// Each operation comes in two forms: with the EditContext of the object's
/// data set, which keeps what edits look up once for all of them (the
/// host model hands out its own), and without, for callers that have no
/// model, which then makes a context for the call.
///
/// A property set that other objects share (exporters share one set among
/// hundreds of elements) is never changed under their feet: it is copied
/// for the object first. Nothing is left dangling: a set no object uses any
/// more is deleted with its properties.
class PropertySetUtils
{
public:
    /// One single-value property for addProperties; its name in UTF-8, as
    /// the data set holds it, so that a pass writing the same names on every
    /// object converts them once. The name is only read during the call.
    struct SingleValue
    {
        std::string_view name;
        QVariant value;
        ifc2x3::IfcValue::IfcValue_select type;
        ifc2x3::IfcSIPrefix prefix;
    };

    /// Whether addProperties looks for the object's set of that name, or is
    /// told the object has none: a pass that has just removed every set of
    /// that name from every object writes each object's set without walking
    /// its relations again.
    enum class ExistingSet { LookFor, NoneAttached };

    /// Puts a single-value property into the object's set of that name,
    /// creating the set when absent. The value is typed as the IfcValue
    /// member `type`; a non-zero prefix attaches the SI unit of that prefix
    /// (kilogram for masses). With `replace`, a property of that name is
    /// updated instead of a second one being added.
    static bool addProperty(ifc2x3::IfcObjectDefinition* object, const Step::String& propertySetName,
                            const Step::String& propertyName, const QVariant& value,
                            ifc2x3::IfcValue::IfcValue_select type, ifc2x3::IfcSIPrefix prefix, bool replace);
    /// False too for an object of another data set than the context's.
    static bool addProperty(EditContext& context, ifc2x3::IfcObjectDefinition* object,
                            const Step::String& propertySetName, const Step::String& propertyName,
                            const QVariant& value, ifc2x3::IfcValue::IfcValue_select type, ifc2x3::IfcSIPrefix prefix,
                            bool replace);

    /// Puts several properties into one set of the object at once, as
    /// addProperty does one by one (in order, so a later one of the same name
    /// wins with `replace`), under one lock and with one update of the set.
    /// Returns how many were written: the others have an empty name or a
    /// value that cannot be typed so. The set's name is in UTF-8 too.
    static int addProperties(ifc2x3::IfcObjectDefinition* object, const std::string& propertySetName,
                             const std::vector<SingleValue>& properties, bool replace);
    static int addProperties(EditContext& context, ifc2x3::IfcObjectDefinition* object,
                             const std::string& propertySetName, const std::vector<SingleValue>& properties,
                             bool replace, ExistingSet existing = ExistingSet::LookFor);

    /// Detaches the object's sets of that name from it; true when one was
    /// removed.
    static bool removePropertySet(ifc2x3::IfcObjectDefinition* object, const Step::String& propertySetName);
    /// The same for the sets of any of these names (in UTF-8, as the data
    /// set holds them, so that a pass over every object converts them once),
    /// in one walk of the object's relations.
    static bool removePropertySets(ifc2x3::IfcObjectDefinition* object, const std::vector<std::string>& utf8Names);
    /// The same for many objects at once: a relation that several of them
    /// share is rewritten once for all of them, not once each. Returns the
    /// objects that had such a set, in the order given.
    static std::vector<ifc2x3::IfcObjectDefinition*>
    removePropertySets(const std::vector<ifc2x3::IfcObjectDefinition*>& objects,
                       const std::vector<std::string>& utf8Names);
    /// Objects of another data set than the context's are passed over.
    static std::vector<ifc2x3::IfcObjectDefinition*>
    removePropertySets(EditContext& context, const std::vector<ifc2x3::IfcObjectDefinition*>& objects,
                       const std::vector<std::string>& utf8Names);

    /// Keys of the objects that hold a set of any of these names, sorted:
    /// found from the sets, read by name, rather than from each object's
    /// relations, which a pass over every object of a model would walk one
    /// by one. Objects outside this list have no such set to remove.
    static std::vector<Step::Id> holdersOfSets(ifc2x3::ExpressDataSet& dataSet,
                                               const std::vector<std::string>& utf8Names);

    /// The first set of that name attached to the object (an occurrence's
    /// relations in file order, a type's list in order), or null.
    static ifc2x3::IfcPropertySetDefinition* findPropertySet(ifc2x3::IfcObjectDefinition* object,
                                                             const Step::String& propertySetName);
};

} // namespace Ifc2x3CC
} // namespace Orvane
