#pragma once

// What the host's tests read of its model, on top of the shared support.
#include "HostModels.h"
#include "TestFiles.h"

#include <string>

namespace orvanetest {

using namespace testsupport;

/// The data section of the model tests/Orvane/fixtures/name.
inline std::string fixture(const std::string& name)
{
    const std::string text = readFile(sourcePath("tests/Orvane/fixtures/" + name));
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

/// Opens data section lines as a model, every record decoded and read
/// without warnings.
inline std::unique_ptr<IFC2x3Model> openText(const std::string& data)
{
    auto dataSet = openStrict(stepFile(data));
    return dataSet ? std::make_unique<IFC2x3Model>(std::move(dataSet)) : nullptr;
}

template <class T> T* entityOf(const IFC2x3Model& model, Step::Id key)
{
    return dynamic_cast<T*>(model.dataSet()->get(key));
}

inline QVariant numberAt(const IFC2x3Model& model, int key, const QString& path)
{
    const auto property = model.getProperty(indexOf(model, key), path);
    return property ? property->numericValue() : QVariant();
}

inline QString displayAt(const IFC2x3Model& model, int key, const QString& path)
{
    const auto property = model.getProperty(indexOf(model, key), path);
    return property ? property->displayValue().toString() : QStringLiteral("<none>");
}

/// The underlying instance of the node at path (null when unresolved).
inline Step::BaseEntity* entityAt(const IFC2x3Model& model, int key, const QString& path)
{
    const auto property = model.getProperty(indexOf(model, key), path);
    return property ? static_cast<Orvane::_ifc2x3::IFC2x3Property*>(property.get())->entity() : nullptr;
}

} // namespace orvanetest
