#pragma once

#include "Orvane/CoreModel.h"

#include "Step/BaseEntity.h"
#include "Step/FileVersion.h"
#include "Step/RefPtr.h"

#include <QCache>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace ifc2x3 {
class ExpressDataSet;
class IfcObjectDefinition;
} // namespace ifc2x3

namespace Orvane {
namespace Ifc2x3CC {
class EditContext;
}

namespace _ifc2x3 {

class UnitConverter;

/// The host's model of an open IFC 2x3 file: a flat table with one row per
/// object definition (project, site, buildings, storeys, spaces, elements,
/// types...) in data set order, columns name, entity class and GlobalId, and
/// a property tree per row (see IFC2x3Property).
///
/// Reads of the data set hold the data set's lock (ExpressDataSet::mutex()),
/// as edits of property sets (PropertySetUtils) do, so a computation may
/// write results on a worker thread while views read the same model.
class IFC2x3Model : public CoreModel
{
    Q_OBJECT
public:
    enum Column { NameColumn = 0, ClassColumn, GlobalIdColumn, ColumnCount };

    explicit IFC2x3Model(std::unique_ptr<ifc2x3::ExpressDataSet> dataSet, QObject* parent = nullptr);
    ~IFC2x3Model() override;

    /// What a save may replace at its path.
    enum class Replace {
        /// At the path the model was read from or last saved to, only that
        /// file: another program's version put there since is left as it
        /// is and the save fails. Elsewhere, the file there when saving.
        OnlyKnownVersions,
        /// Whatever file is there, once the user said so.
        Anything
    };

    /// Opens an IFC 2x3 file; null with a message naming the file and the
    /// line of the problem when it cannot be read.
    static std::unique_ptr<IFC2x3Model> open(const QString& path, QString* error = nullptr);
    /// Saves atomically: a failure leaves any previous file intact. The path
    /// saved to becomes the model's file (see fileReplaced()). Meant for a
    /// worker thread: it holds the data set's lock until the file is
    /// written, and the views draw meanwhile the cells they drew before
    /// (see data()).
    bool save(const QString& path, QString* error = nullptr, Replace replace = Replace::OnlyKnownVersions) const;
    /// Whether another program put its version of the model's file at path
    /// since the model read or saved it there: saving there would lose it.
    /// False for another path, or when no regular file is there.
    bool fileReplaced(const QString& path) const;
    /// Whether another program replaced or changed the model's file on disk
    /// since the model read or saved it.
    bool fileReplaced() const;
    /// The file the model was read from or last saved to, links followed;
    /// empty for a model made in memory. Safe to call while another thread
    /// saves the model.
    QString filePath() const;

    ifc2x3::ExpressDataSet* dataSet() const { return m_dataSet.get(); }
    /// Logs, as WARN records, what the data set found wrong since the last
    /// call: records that cannot be read come to light only when decoded.
    void logDataSetWarnings() const;
    QString modelTypeName() const override { return QStringLiteral("IFC 2x3"); }

    using QAbstractItemModel::index;
    QModelIndex index(const ifc2x3::IfcObjectDefinition* object) const;
    ifc2x3::IfcObjectDefinition* ifcObjectDefinition(const QModelIndex& index) const;

    /// Announces that the row of index changed (its property sets, say). May
    /// be called from any thread: the signal is delivered on the model's
    /// thread, and bursts of calls are merged. The table is flat: a row has
    /// no rows below it to announce too.
    virtual void updateItem(const QModelIndex& index);

    /// The type object of the row's object (what the "Type" path shows), or
    /// null when it has none.
    Step::BaseEntity* typeObject(const QModelIndex& index) const;

    using CoreModel::getProperty;
    Step::RefPtr<CoreProperty> getProperty(const QModelIndex& index, const QStringList& path) const override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    UnitConverter& units() const { return *m_units; }
    /// What PropertySetUtils needs to edit this model's data set, kept for
    /// the model's lifetime: edit through it rather than without a context.
    Ifc2x3CC::EditContext& editContext() const { return *m_editContext; }

signals:
    /// Rows announced through updateItem were refreshed: the data set now
    /// differs from the file it was read from. Emitted on the model's thread.
    void contentChanged();

private slots:
    void flushPendingUpdates();
    /// Announces the rows drawn empty while a save held the lock.
    void showRowsNotDrawn();

private:
    friend class IFC2x3Property;

    /// What path resolution needs of a row's relations: its type and its
    /// property sets in order. Kept for the rows read last, as reading them
    /// anew for each path walks the relations of the data set every time.
    struct RowRelations
    {
        int row = -1;
        std::uint64_t changeCount = 0; // the data set's, when read
        bool occurrence = false;       // an IfcObject (types list their own sets)
        Step::RefPtr<Step::BaseEntity> type;
        std::vector<Step::Id> sets; // keys: a set is decoded once a path names it
    };
    /// The relations of a row, read again when the data set changed since.
    /// The caller holds the data set's lock, and the returned entry is
    /// valid while it holds it.
    const RowRelations& rowRelations(int row) const;
    /// The text of a name, entity or GlobalId cell; under the data set's lock.
    QString cellText(ifc2x3::IfcObjectDefinition& object, int column) const;
    /// A cell the model's thread draws while a save holds the lock: the text
    /// it drew last, else nothing until the save ends.
    QVariant textWhileSaving(const QModelIndex& index) const;

    /// The file read or last saved, links and folders resolved, and its
    /// version then: bookkeeping of save(), which leaves the model as it is.
    /// Guarded by m_fileMutex: a save on a worker thread writes them while
    /// the window reads them.
    mutable QString m_file;
    mutable Step::FileVersion m_fileVersion;
    mutable std::mutex m_fileMutex;
    /// Whether save() is writing, holding the data set's lock throughout.
    mutable std::atomic<bool> m_saving{false};
    /// The texts last drawn, by cell: a table scrolled or uncovered during a
    /// save draws them rather than wait for the lock. The model's thread
    /// only, as the rows drawn empty meanwhile.
    mutable QCache<quint64, QString> m_drawnTexts{20000};
    mutable int m_firstRowNotDrawn = -1;
    mutable int m_lastRowNotDrawn = -1;
    std::unique_ptr<ifc2x3::ExpressDataSet> m_dataSet;
    std::unique_ptr<UnitConverter> m_units;
    std::unique_ptr<Ifc2x3CC::EditContext> m_editContext;
    std::vector<Step::RefPtr<ifc2x3::IfcObjectDefinition>> m_rows;
    std::unordered_map<const ifc2x3::IfcObjectDefinition*, int> m_rowOf;
    std::mutex m_pendingMutex; // std::mutex: visible to ThreadSanitizer
    std::vector<int> m_pendingRows;
    bool m_flushScheduled = false;
    static constexpr int updateDelayMs = 50;
    /// Relations of the rows read last, by row modulo the size: readers
    /// go through rows in turn or look at a few, and a cache over every
    /// row of a large model would hold megabytes it rarely uses again.
    /// Guarded by the data set's lock.
    mutable std::array<RowRelations, 64> m_relations;
};

} // namespace _ifc2x3
} // namespace Orvane
