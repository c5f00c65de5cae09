#pragma once

// What must hold for any input given to the reader, whatever its bytes:
// shared by the fuzz target and the test that replays the inputs it found.

#include "ifc2x3/ExpressDataSet.h"

#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace ReaderCheck {

/// Values equal as a save and a new read must keep them. A number too
/// large to read is written as the largest one, so it comes back as such.
inline bool sameAfterRoundTrip(const Step::Value& before, const Step::Value& after)
{
    if (before.kind() == Step::Value::Kind::Real && std::isinf(before.realValue())) {
        return after.kind() == Step::Value::Kind::Real &&
               after.realValue() == std::copysign(std::numeric_limits<double>::max(), before.realValue());
    }
    if (before.kind() != after.kind()) {
        return false;
    }
    if (before.isList()) {
        const auto& a = before.items();
        const auto& b = after.items();
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (!sameAfterRoundTrip(a[i], b[i])) {
                return false;
            }
        }
        return true;
    }
    if (before.isTyped()) {
        return before.text() == after.text() && sameAfterRoundTrip(before.inner(), after.inner());
    }
    return before == after;
}

/// The instances of the lists of a data set opened from the same text,
/// listed before any is decoded (their values read when first asked for),
/// must hold what `decoded` holds and write the text back unchanged.
inline std::string checkListedFirst(std::string_view text, ifc2x3::ExpressDataSet& decoded)
{
    ifc2x3::ExpressDataSet listed;
    if (!listed.openFromText(std::string(text))) {
        return "the text opens once and not twice";
    }
    // A name told at open is the name the record holds.
    for (std::size_t slot = 0; slot < listed.slotCount(); ++slot) {
        const std::uint32_t fingerprint = listed.textFingerprintAt(slot);
        const auto* set = dynamic_cast<const ifc2x3::IfcRoot*>(decoded.get(listed.slotKey(slot)));
        const Step::Value name = set ? set->getNameValue().plain() : Step::Value();
        const bool named = name.kind() == Step::Value::Kind::String;
        if (fingerprint != 0 && (!named || Step::Lexer::textFingerprint(name.text()) != fingerprint)) {
            return "#" + std::to_string(listed.slotKey(slot)) + " was told at open by a name it does not hold";
        }
    }
    for (const auto& object : listed.getAllIfcObjectDefinition()) {
        const std::string key = "#" + std::to_string(object->getKey());
        const Step::BaseEntity* reference = decoded.get(object->getKey());
        const std::size_t count = reference ? reference->argumentCount() : 0;
        if (object->argumentCount() != count) {
            return key + " holds another number of values listed first than decoded first";
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!(object->argument(i) == reference->argument(i))) {
                return key + " holds another value listed first than decoded first";
            }
        }
    }
    listed.takeWarnings();
    return listed.toText() == text ? std::string() : "a model listed first is not written back byte for byte";
}

/// Opens text and, when it opens, decodes every instance, checks a copy
/// listed first, builds every list and inverse relation, saves the
/// unchanged model (which must give the text back byte for byte), then
/// changes every instance, saves again and reads that back (which must
/// open and give the same values).
/// Returns what went wrong, or an empty string.
inline std::string run(std::string_view text)
{
    ifc2x3::ExpressDataSet dataSet;
    if (!dataSet.openFromText(std::string(text))) {
        return dataSet.lastError().isSet() ? std::string() : "open failed without saying why";
    }
    std::vector<Step::BaseEntity*> entities;
    const std::size_t slots = dataSet.slotCount();
    for (std::size_t slot = 0; slot < slots; ++slot) {
        if (Step::BaseEntity* entity = dataSet.getBySlot(slot)) {
            entities.push_back(entity);
        }
    }
    if (std::string problem = checkListedFirst(text, dataSet); !problem.empty()) {
        return problem;
    }
    dataSet.getAllIfcObjectDefinition();
    dataSet.getAllIfcElement();
    dataSet.getAllIfcTypeObject();
    dataSet.getAllIfcProject();
    dataSet.getAllIfcBuilding();
    for (Step::BaseEntity* entity : entities) {
        for (int r = 0; r < static_cast<int>(ifc2x3::InverseRelation::Count); ++r) {
            dataSet.inverse(*entity, static_cast<ifc2x3::InverseRelation>(r));
        }
    }
    dataSet.countByType();
    dataSet.takeWarnings();
    if (dataSet.toText() != text) {
        return "the unchanged model is not written back byte for byte";
    }

    for (Step::BaseEntity* entity : entities) {
        if (entity->argumentCount() > 0) {
            entity->setArgument(0, Step::Value(entity->argument(0)));
        }
    }
    const std::string written = dataSet.toText();
    ifc2x3::ExpressDataSet again;
    if (!again.openFromText(written)) {
        return "the saved model does not open again: " + again.lastError().toString();
    }
    for (Step::BaseEntity* entity : entities) {
        const std::string key = "#" + std::to_string(entity->getKey());
        Step::BaseEntity* copy = again.get(entity->getKey());
        if (!copy) {
            return key + " cannot be read back after saving";
        }
        if (copy->argumentCount() != entity->argumentCount()) {
            return key + " has another number of attributes after saving";
        }
        for (std::size_t i = 0; i < entity->argumentCount(); ++i) {
            if (!sameAfterRoundTrip(entity->argument(i), copy->argument(i))) {
                return key + " attribute " + std::to_string(i + 1) + " reads back differently after saving";
            }
        }
    }
    return {};
}

} // namespace ReaderCheck
