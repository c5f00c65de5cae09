#pragma once

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "Orvane/_ifc2x3/IFC2x3Property.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace orvanetest {

using Orvane::_ifc2x3::IFC2x3Model;

/// A complete exchange file around the given data section lines.
inline std::string stepFile(const std::string& data)
{
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [CoordinationView]'),'2;1');\n"
           "FILE_NAME('test.ifc','2024-01-01T00:00:00',('tester'),('org'),'pre','app','');\n"
           "FILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n" +
           data + "ENDSEC;\nEND-ISO-10303-21;\n";
}

/// The data section of the model tests/Orvane/fixtures/name.
inline std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(MQ_SOURCE_DIR) + "/tests/Orvane/fixtures/" + name, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::size_t start = text.find("DATA;\n") + 6;
    return text.substr(start, text.rfind("ENDSEC;") - start);
}

/// A project with the given units (#1 the project, #2 the assignment); the
/// units themselves come with the caller's lines, from #3 on.
inline std::string projectWithUnits(const std::string& unitList)
{
    return "#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'Project',$,$,$,$,$,#2);\n"
           "#2=IFCUNITASSIGNMENT((" +
           unitList + "));\n";
}

/// Opens STEP text as a model. Every record is decoded at once and must be
/// read without warnings, so that a typo in a test model cannot pass
/// unnoticed as a missing instance.
inline std::unique_ptr<IFC2x3Model> openText(const std::string& data)
{
    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    if (!dataSet->openFromText(stepFile(data))) {
        ADD_FAILURE() << dataSet->lastError().toString();
        return nullptr;
    }
    for (std::size_t slot = 0; slot < dataSet->slotCount(); ++slot) {
        dataSet->getBySlot(slot);
    }
    for (const std::string& warning : dataSet->takeWarnings()) {
        ADD_FAILURE() << warning;
    }
    return std::make_unique<IFC2x3Model>(std::move(dataSet));
}

/// Path of a real sample model, or an empty string when it is not there.
inline QString samplePath(const std::string& name)
{
    const std::string path = std::string(MQ_SHARED_DIR) + "/samples/" + name;
    return std::filesystem::exists(path) ? QString::fromStdString(path) : QString();
}

inline QString bundledSample(const std::string& name)
{
    return QString::fromStdString(std::string(MQ_SOURCE_DIR) + "/samples/" + name);
}

/// The object with that STEP key, as a model index (column 0).
inline QModelIndex indexOfKey(const IFC2x3Model& model, Step::Id key)
{
    const auto* object = dynamic_cast<const ifc2x3::IfcObjectDefinition*>(model.dataSet()->get(key));
    return object ? model.index(object) : QModelIndex();
}

template <class T> T* entityOf(const IFC2x3Model& model, Step::Id key)
{
    return dynamic_cast<T*>(model.dataSet()->get(key));
}

inline QVariant valueAt(const IFC2x3Model& model, Step::Id key, const QString& path)
{
    const auto property = model.getProperty(indexOfKey(model, key), path);
    return property ? property->value() : QVariant();
}

inline QVariant numberAt(const IFC2x3Model& model, Step::Id key, const QString& path)
{
    const auto property = model.getProperty(indexOfKey(model, key), path);
    return property ? property->numericValue() : QVariant();
}

inline QString displayAt(const IFC2x3Model& model, Step::Id key, const QString& path)
{
    const auto property = model.getProperty(indexOfKey(model, key), path);
    return property ? property->displayValue().toString() : QStringLiteral("<none>");
}

/// The underlying instance of the node at path (null when unresolved).
inline Step::BaseEntity* entityAt(const IFC2x3Model& model, Step::Id key, const QString& path)
{
    const auto property = model.getProperty(indexOfKey(model, key), path);
    return property ? static_cast<Orvane::_ifc2x3::IFC2x3Property*>(property.get())->entity() : nullptr;
}

} // namespace orvanetest
