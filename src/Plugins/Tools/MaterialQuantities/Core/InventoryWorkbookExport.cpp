#include "InventoryWorkbookExport.h"

#include "MaterialInventory.h"
#include "MaterialLibrary.h"
#include "QuantitiesWorkbookExport.h"

#include "OrvaneXlsx/ModelToExcelExport.h"

#include <QMap>
#include <QStandardItemModel>

#include <memory>
#include <vector>

namespace Orvane {

namespace {

enum MaterialColumn {
    MaterialName,
    ToRecover,
    ReEmployed,
    Total,
    WasteCode,
    Category,
    Outlet,
    LibraryEntry,
    Elements,
};

enum SubtotalColumn { GroupedBy, Group, GroupToRecover, GroupReEmployed, GroupTotal };

/// Materials the library does not know come after every group.
constexpr int noEntryGroup = 1000;

struct Subtotal
{
    QString group;
    double toRecover = 0.0;
    double reEmployed = 0.0;
    double total = 0.0;
};

/// Subtotals in the order of the library's categories or outlets.
using Subtotals = QMap<int, Subtotal>;

using Tables = std::vector<std::unique_ptr<QStandardItemModel>>;

XlsxSheetLayout layoutWithMasses(int firstMass, int lastMass)
{
    XlsxFormat mass;
    mass.setNumberFormat(QuantitiesWorkbookExport::massNumberFormat());
    XlsxSheetLayout layout;
    layout.setHeaderRow(true);
    layout.setFitColumns(true);
    for (int column = firstMass; column <= lastMass; ++column) {
        layout.setNumberFormat(column, mass);
    }
    return layout;
}

QStandardItemModel* newTable(Tables& tables, const QStringList& headers)
{
    tables.push_back(std::make_unique<QStandardItemModel>(0, headers.size()));
    tables.back()->setHorizontalHeaderLabels(headers);
    return tables.back().get();
}

/// An empty value leaves its cell empty.
void appendRow(QStandardItemModel& table, const QVariantList& values)
{
    QList<QStandardItem*> items;
    for (const QVariant& value : values) {
        auto* item = new QStandardItem;
        item->setData(value, Qt::DisplayRole);
        items.append(item);
    }
    table.appendRow(items);
}

QStringList materialHeaders()
{
    return {InventoryWorkbookExport::tr("Material"),
            InventoryWorkbookExport::tr("Mass to recover"),
            InventoryWorkbookExport::tr("Mass re-employed"),
            InventoryWorkbookExport::tr("Total mass"),
            InventoryWorkbookExport::tr("European waste code"),
            InventoryWorkbookExport::tr("Waste category"),
            InventoryWorkbookExport::tr("Outlet"),
            InventoryWorkbookExport::tr("Material library entry"),
            InventoryWorkbookExport::tr("Building elements")};
}

QStringList subtotalHeaders()
{
    return {InventoryWorkbookExport::tr("Subtotal by"), InventoryWorkbookExport::tr("Group"),
            InventoryWorkbookExport::tr("Mass to recover"), InventoryWorkbookExport::tr("Mass re-employed"),
            InventoryWorkbookExport::tr("Total mass")};
}

QVariantList materialRow(const QString& name, const MaterialInventory::Quantities& quantities,
                         const MaterialLibrary::Entry* entry)
{
    if (!entry) {
        return {name,
                quantities.toRecover,
                quantities.reEmployed,
                quantities.total,
                QVariant(),
                QVariant(),
                QVariant(),
                InventoryWorkbookExport::noEntryText(),
                quantities.elements};
    }
    return {name,
            quantities.toRecover,
            quantities.reEmployed,
            quantities.total,
            entry->wasteCode,
            MaterialLibrary::categoryText(entry->category),
            MaterialLibrary::outletText(entry->outlet),
            entry->name,
            quantities.elements};
}

void addTo(Subtotals& subtotals, int order, const QString& group, const MaterialInventory::Quantities& quantities)
{
    Subtotal& subtotal = subtotals[order];
    subtotal.group = group;
    subtotal.toRecover += quantities.toRecover;
    subtotal.reEmployed += quantities.reEmployed;
    subtotal.total += quantities.total;
}

void appendSubtotals(QStandardItemModel& table, const QString& groupedBy, const Subtotals& subtotals)
{
    for (const Subtotal& subtotal : subtotals) {
        appendRow(table, {groupedBy, subtotal.group, subtotal.toRecover, subtotal.reEmployed, subtotal.total});
    }
}

/// The scope's materials as rows of table, and their subtotals when asked.
void fillMaterials(QStandardItemModel& table, const MaterialInventory::Scope& scope, const MaterialLibrary& library,
                   QStandardItemModel* subtotalTable = nullptr)
{
    Subtotals byCategory;
    Subtotals byOutlet;
    const QString noEntry = InventoryWorkbookExport::noEntryText();
    for (const QString& name : scope.materialNames()) {
        const MaterialInventory::Quantities quantities = scope.materials.value(name);
        const MaterialLibrary::Entry* entry = library.match(name).entry;
        appendRow(table, materialRow(name, quantities, entry));
        if (entry) {
            addTo(byCategory, int(entry->category), MaterialLibrary::categoryText(entry->category), quantities);
            addTo(byOutlet, int(entry->outlet), MaterialLibrary::outletText(entry->outlet), quantities);
        } else {
            addTo(byCategory, noEntryGroup, noEntry, quantities);
            addTo(byOutlet, noEntryGroup, noEntry, quantities);
        }
    }
    if (subtotalTable) {
        appendSubtotals(*subtotalTable, InventoryWorkbookExport::tr("Waste category"), byCategory);
        appendSubtotals(*subtotalTable, InventoryWorkbookExport::tr("Outlet"), byOutlet);
    }
}

} // namespace

QString InventoryWorkbookExport::materialsSheetName()
{
    return tr("Materials");
}

QString InventoryWorkbookExport::subtotalsSheetName()
{
    return tr("Subtotals");
}

QString InventoryWorkbookExport::unnamedBuildingSheetName(int number)
{
    return tr("Building %1").arg(number);
}

QString InventoryWorkbookExport::noEntryText()
{
    return tr("No entry in the material library");
}

bool InventoryWorkbookExport::exportInventory(const MaterialInventory& inventory, const MaterialLibrary& library,
                                              const QString& path, QString* error)
{
    Tables tables;
    const XlsxSheetLayout materialsLayout = layoutWithMasses(ToRecover, Total);
    QStandardItemModel* materials = newTable(tables, materialHeaders());
    QStandardItemModel* subtotals = newTable(tables, subtotalHeaders());
    fillMaterials(*materials, inventory.project(), library, subtotals);
    QList<ModelSheet> sheets{{materials, materialsSheetName(), materialsLayout},
                             {subtotals, subtotalsSheetName(), layoutWithMasses(GroupToRecover, GroupTotal)}};
    int number = 0;
    for (const MaterialInventory::Scope& building : inventory.buildings()) {
        ++number;
        QStandardItemModel* table = newTable(tables, materialHeaders());
        fillMaterials(*table, building, library);
        // The workbook makes names valid and unique.
        sheets.append(ModelSheet{table, building.name.isEmpty() ? unnamedBuildingSheetName(number) : building.name,
                                 materialsLayout});
    }
    return modelsToExcelExport(sheets, path, false, error);
}

} // namespace Orvane
