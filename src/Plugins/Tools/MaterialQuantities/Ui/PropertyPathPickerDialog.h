#pragma once

#include <QDialog>

#include <memory>

class QStandardItem;
class QStandardItemModel;

namespace Orvane {

namespace Ui {
class PropertyPathPickerDialog;
}

class CoreProperty;

/// Shows the property tree of one model item (its fields, property sets and
/// type, names and values) and lets the user pick a node of it: the node's
/// "/"-separated path from the item, as property paths are read.
class PropertyPathPickerDialog : public QDialog
{
    Q_OBJECT
public:
    /// root is the item's own node; title names the item.
    PropertyPathPickerDialog(const CoreProperty& root, const QString& title, QWidget* parent = nullptr);
    ~PropertyPathPickerDialog() override;

    /// The path of the node picked; empty when none is.
    QString selectedPath() const;
    /// Makes the node at path the picked one, shown; false when the tree has
    /// no such node.
    bool selectPath(const QString& path);

    /// The role of the tree's name column holding a node's path.
    static constexpr int PathRole = Qt::UserRole + 1;

private:
    void addChildren(QStandardItem* parent, const CoreProperty& property, int depth);
    void showSelectedPath();

    std::unique_ptr<Ui::PropertyPathPickerDialog> ui;
    QStandardItemModel* treeModel;
};

} // namespace Orvane
