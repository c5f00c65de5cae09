#pragma once

namespace ifc2x3 {

/// Inverse attributes that the data set maintains from the forward
/// attributes of relationship instances.
enum class InverseRelation {
    HasAssociations,
    IsDecomposedBy,
    Decomposes,
    IsDefinedBy,
    ObjectTypeOf,
    ContainedInStructure,
    HasOpenings,
    FillsVoids,
    ContainsElements,
    VoidsElements,
    HasFillings,
    PropertyDefinitionOf,
    DefinesType,
    Count
};

} // namespace ifc2x3
