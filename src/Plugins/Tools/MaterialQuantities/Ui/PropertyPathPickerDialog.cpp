#include "PropertyPathPickerDialog.h"

#include "Orvane/CoreProperty.h"

#include "ui_PropertyPathPickerDialog.h"

#include <QPushButton>
#include <QStandardItemModel>

namespace Orvane {

namespace {
// Deeper than any path the computation reads; it also bounds a tree that
// would lead back to where it started.
constexpr int maximumDepth = 12;
} // namespace

PropertyPathPickerDialog::PropertyPathPickerDialog(const CoreProperty& root, const QString& title, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::PropertyPathPickerDialog>()), treeModel(new QStandardItemModel(this))
{
    ui->setupUi(this);
    ui->elementLabel->setText(tr("Properties of %1").arg(title));
    treeModel->setHorizontalHeaderLabels({tr("Name"), tr("Value")});
    addChildren(treeModel->invisibleRootItem(), root, 0);
    ui->propertyTreeView->setModel(treeModel);
    ui->propertyTreeView->expandToDepth(0);
    ui->propertyTreeView->resizeColumnToContents(0);
    connect(ui->propertyTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PropertyPathPickerDialog::showSelectedPath);
    connect(ui->propertyTreeView, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && !treeModel->hasChildren(index.siblingAtColumn(0))) {
            accept();
        }
    });
    showSelectedPath();
}

PropertyPathPickerDialog::~PropertyPathPickerDialog() = default;

void PropertyPathPickerDialog::addChildren(QStandardItem* parent, const CoreProperty& property, int depth)
{
    if (depth >= maximumDepth) {
        return;
    }
    const int count = property.childCount();
    for (int i = 0; i < count; ++i) {
        const Step::RefPtr<CoreProperty> child(property.getChildProperty(i));
        if (!child) {
            continue;
        }
        auto* name = new QStandardItem(child->name());
        name->setData(child->path().join(QLatin1Char('/')), PathRole);
        auto* value = new QStandardItem(child->displayValue().toString());
        for (QStandardItem* item : {name, value}) {
            item->setEditable(false);
        }
        parent->appendRow({name, value});
        addChildren(name, *child, depth + 1);
    }
}

QString PropertyPathPickerDialog::selectedPath() const
{
    const QModelIndex current = ui->propertyTreeView->currentIndex();
    return current.siblingAtColumn(0).data(PathRole).toString();
}

bool PropertyPathPickerDialog::selectPath(const QString& path)
{
    const QModelIndexList found =
        treeModel->match(treeModel->index(0, 0), PathRole, path, 1, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty()) {
        return false;
    }
    ui->propertyTreeView->setCurrentIndex(found.first());
    ui->propertyTreeView->scrollTo(found.first());
    return true;
}

void PropertyPathPickerDialog::showSelectedPath()
{
    const QString path = selectedPath();
    ui->pathLineEdit->setText(path);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!path.isEmpty());
}

} // namespace Orvane
