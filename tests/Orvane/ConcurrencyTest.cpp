// Views read a model while a computation writes property sets into it on
// another thread. Run under ThreadSanitizer too (see docs/reliability.md).
#include "OrvaneTestSupport.h"

#include "Orvane/Ifc2x3CC/EditContext.h"
#include "Orvane/Ifc2x3CC/PropertySetUtils.h"

#include <QCoreApplication>

#include <atomic>
#include <thread>

using namespace orvanetest;
using Orvane::Ifc2x3CC::PropertySetUtils;

TEST(Concurrency, ReadsWhileAnotherThreadWritesPropertySets)
{
    auto model = openFile(QString::fromStdString(sourcePath("samples/small-building.ifc")));
    ASSERT_TRUE(model);
    std::vector<ifc2x3::IfcObjectDefinition*> elements;
    for (const auto& element : model->dataSet()->getAllIfcElement()) {
        elements.push_back(element.get());
    }
    ASSERT_GT(elements.size(), 50u);
    const QStringList paths = {"Properties/BaseQuantities/NetVolume",
                               "Type/Properties/Unite_Fonctionnelle/Masse_par_UF",
                               "Properties/TotalMaterialQuantities/Beton",
                               "Properties/TotalMaterialQuantities/Longueur",
                               "Type/Properties/TotalMaterialQuantities/Instances",
                               "Fields/Name"};

    std::atomic<bool> writing{true};
    std::atomic<int> reads{0};
    // Elements are written through the model's context, as the calculator
    // does, types without one. The first length written makes the writer
    // read the project's units while the reader may be reading them too.
    std::thread writer([&] {
        for (int round = 0; round < 3; ++round) {
            for (ifc2x3::IfcObjectDefinition* element : elements) {
                const std::vector<PropertySetUtils::SingleValue> values = {
                    {"Beton", 1.0 + round, ifc2x3::IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO},
                    {"Longueur", 2.0, ifc2x3::IfcValue::IfcLengthMeasure, ifc2x3::IfcSIPrefix_UNSET}};
                PropertySetUtils::addProperties(model->editContext(), element, "TotalMaterialQuantities", values, true);
                model->updateItem(model->index(element));
            }
            for (const auto& type : model->dataSet()->getAllIfcTypeObject()) {
                PropertySetUtils::addProperty(type.get(), Step::String("TotalMaterialQuantities"),
                                              Step::String("Instances"), round, ifc2x3::IfcValue::IfcInteger,
                                              ifc2x3::IfcSIPrefix_UNSET, true);
            }
            if (round < 2) {
                for (ifc2x3::IfcObjectDefinition* element : elements) {
                    PropertySetUtils::removePropertySet(element, Step::String("TotalMaterialQuantities"));
                }
            }
        }
        writing = false;
    });

    // Reads as views make them: paths, values, children and row data.
    do {
        for (ifc2x3::IfcObjectDefinition* element : elements) {
            const QModelIndex index = model->index(element);
            for (const QString& path : paths) {
                if (const auto property = model->getProperty(index, path)) {
                    property->value();
                    property->numericValue();
                    property->displayValue();
                }
            }
            if (const auto sets = model->getProperty(index, "Properties")) {
                for (int i = 0; i < sets->childCount(); ++i) {
                    Step::RefPtr<Orvane::CoreProperty> set(sets->getChildProperty(i));
                    if (set) {
                        set->childCount();
                    }
                }
            }
            model->data(index);
            reads.fetch_add(1, std::memory_order_relaxed);
        }
        QCoreApplication::processEvents();
    } while (writing);
    writer.join();
    QCoreApplication::processEvents();

    EXPECT_GT(reads.load(), 0);
    for (ifc2x3::IfcObjectDefinition* element : elements) {
        EXPECT_DOUBLE_EQ(numberAt(*model, element->getKey(), "Properties/TotalMaterialQuantities/Beton").toDouble(),
                         3.0);
    }
}
