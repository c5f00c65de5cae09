#include "IFC2x3Model.h"

#include "IFC2x3Property.h"
#include "UnitConverter.h"

#include "Orvane/Ifc2x3CC/EditContext.h"

#include "Step/RegularFile.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include <log4cplus/logger.h>
#include <log4cplus/loggingmacros.h>

#include <algorithm>
#include <mutex>

namespace Orvane {
namespace _ifc2x3 {

namespace {

/// The file path designates, links followed and its folder made canonical,
/// so that two spellings of one file compare equal.
QString resolvedFile(const QString& path)
{
    const std::string target = Step::RegularFile::finalTarget(QFile::encodeName(path).toStdString());
    const QFileInfo info(target.empty() ? path : QFile::decodeName(QByteArray::fromStdString(target)));
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : QDir(folder).filePath(info.fileName());
}

} // namespace

IFC2x3Model::IFC2x3Model(std::unique_ptr<ifc2x3::ExpressDataSet> dataSet, QObject* parent)
    : CoreModel(parent), m_dataSet(std::move(dataSet)), m_units(std::make_unique<UnitConverter>(m_dataSet.get())),
      m_editContext(std::make_unique<Ifc2x3CC::EditContext>(*m_dataSet, *m_units))
{
    const auto& objects = m_dataSet->getAllIfcObjectDefinition();
    m_rows.reserve(objects.size());
    m_rowOf.reserve(objects.size());
    for (const auto& object : objects) {
        m_rowOf.emplace(object.get(), static_cast<int>(m_rows.size()));
        m_rows.push_back(object);
    }
    logDataSetWarnings();
}

void IFC2x3Model::logDataSetWarnings() const
{
    for (const std::string& warning : m_dataSet->takeWarnings()) {
        LOG4CPLUS_WARN(log4cplus::Logger::getInstance("Orvane.ifc2x3"), warning);
    }
}

IFC2x3Model::~IFC2x3Model()
{
    m_rows.clear();
    m_editContext.reset();
    m_dataSet.reset();
}

std::unique_ptr<IFC2x3Model> IFC2x3Model::open(const QString& path, QString* error)
{
    const std::string fileName = QFile::encodeName(path).toStdString();
    // Taken before reading: a file replaced meanwhile then counts as
    // another program's, which saving asks about, rather than as the one read.
    const Step::FileVersion version = Step::FileVersion::at(fileName);
    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    if (!dataSet->open(fileName)) {
        if (error) {
            *error = path + QStringLiteral(": ") +
                     QFile::decodeName(QByteArray::fromStdString(dataSet->lastError().toString()));
        }
        return nullptr;
    }
    // The property trees read them: built here, on the opening thread,
    // they do not hold up the first view that shows properties.
    dataSet->prepareInverses();
    auto model = std::make_unique<IFC2x3Model>(std::move(dataSet));
    // The opening's passes over the whole file are done: its pages go.
    model->m_dataSet->releaseSourcePages();
    model->m_file = resolvedFile(path);
    model->m_fileVersion = version;
    return model;
}

bool IFC2x3Model::save(const QString& path, QString* error, Replace replace) const
{
    const QString target = resolvedFile(path);
    const std::string fileName = QFile::encodeName(target).toStdString();
    Step::FileVersion onDisk;
    {
        const std::lock_guard<std::mutex> lock(m_fileMutex);
        onDisk =
            replace == Replace::OnlyKnownVersions && target == m_file ? m_fileVersion : Step::FileVersion::at(fileName);
    }
    // Saving drops references to deleted instances from the instances that
    // remain, under the data set's lock, which save() takes.
    std::string message;
    m_saving = true;
    const bool saved = m_dataSet->save(QFile::encodeName(path).toStdString(), &message, &onDisk);
    m_saving = false;
    // The model itself is not changed: only the rows drawn empty are told.
    QMetaObject::invokeMethod(const_cast<IFC2x3Model*>(this), &IFC2x3Model::showRowsNotDrawn, Qt::QueuedConnection);
    if (!saved) {
        if (error) {
            *error = QFile::decodeName(QByteArray::fromStdString(message));
        }
        return false;
    }
    const std::lock_guard<std::mutex> lock(m_fileMutex);
    m_file = target;
    m_fileVersion = onDisk;
    return true;
}

bool IFC2x3Model::fileReplaced(const QString& path) const
{
    return resolvedFile(path) == filePath() && fileReplaced();
}

bool IFC2x3Model::fileReplaced() const
{
    const std::lock_guard<std::mutex> lock(m_fileMutex);
    const Step::FileVersion present = Step::FileVersion::at(QFile::encodeName(m_file).toStdString());
    // Something else than a file (a folder, say) is refused by save() anyway.
    return !m_file.isEmpty() && QFileInfo(m_file).isFile() && present != m_fileVersion;
}

QString IFC2x3Model::filePath() const
{
    const std::lock_guard<std::mutex> lock(m_fileMutex);
    return m_file;
}

QModelIndex IFC2x3Model::index(const ifc2x3::IfcObjectDefinition* object) const
{
    const auto it = m_rowOf.find(object);
    return it == m_rowOf.end() ? QModelIndex() : createIndex(it->second, 0);
}

ifc2x3::IfcObjectDefinition* IFC2x3Model::ifcObjectDefinition(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= static_cast<int>(m_rows.size())) {
        return nullptr;
    }
    return m_rows[static_cast<std::size_t>(index.row())].get();
}

void IFC2x3Model::updateItem(const QModelIndex& index)
{
    if (!index.isValid()) {
        return;
    }
    bool schedule = false;
    {
        std::lock_guard<std::mutex> locker(m_pendingMutex);
        m_pendingRows.push_back(index.row());
        schedule = !m_flushScheduled;
        m_flushScheduled = true;
    }
    if (!schedule) {
        return;
    }
    if (QThread::currentThread() == thread()) {
        QMetaObject::invokeMethod(this, "flushPendingUpdates", Qt::QueuedConnection);
    } else {
        // Writers on other threads announce rows in bursts (one per property
        // written): gather them for a moment rather than waking this thread
        // for each one.
        QMetaObject::invokeMethod(
            this, [this] { QTimer::singleShot(updateDelayMs, this, &IFC2x3Model::flushPendingUpdates); },
            Qt::QueuedConnection);
    }
}

void IFC2x3Model::flushPendingUpdates()
{
    std::vector<int> rows;
    {
        std::lock_guard<std::mutex> locker(m_pendingMutex);
        // Copied, so that the list keeps its room for the next burst.
        rows.assign(m_pendingRows.begin(), m_pendingRows.end());
        m_pendingRows.clear();
        m_flushScheduled = false;
    }
    // Rows are noted as announced, repeats included: a list costs less to
    // add to than a set, once per write.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // One signal per run of consecutive rows.
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) {
            ++j;
        }
        emit dataChanged(createIndex(rows[i], 0), createIndex(rows[j], ColumnCount - 1));
        i = j + 1;
    }
    if (!rows.empty()) {
        emit contentChanged();
    }
}

Step::RefPtr<CoreProperty> IFC2x3Model::getProperty(const QModelIndex& index, const QStringList& path) const
{
    ifc2x3::IfcObjectDefinition* object = ifcObjectDefinition(index);
    if (!object) {
        return {};
    }
    return IFC2x3Property::resolve(this, object, path, index.row());
}

Step::BaseEntity* IFC2x3Model::typeObject(const QModelIndex& index) const
{
    if (!ifcObjectDefinition(index)) {
        return nullptr;
    }
    const std::lock_guard<std::recursive_mutex> lock(m_dataSet->mutex());
    return rowRelations(index.row()).type.get();
}

const IFC2x3Model::RowRelations& IFC2x3Model::rowRelations(int row) const
{
    RowRelations& entry = m_relations[static_cast<std::size_t>(row) % m_relations.size()];
    // Any creation, change or deletion may concern the row's relations.
    const std::uint64_t changes = m_dataSet->changeCount();
    if (entry.row != row || entry.changeCount != changes) {
        entry.row = row;
        IFC2x3Property::readRelations(m_rows[static_cast<std::size_t>(row)].get(), entry.occurrence, entry.type,
                                      entry.sets);
        entry.changeCount = changes;
    }
    return entry;
}

QModelIndex IFC2x3Model::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= ColumnCount) {
        return {};
    }
    return createIndex(row, column);
}

QModelIndex IFC2x3Model::parent(const QModelIndex&) const
{
    return {};
}

int IFC2x3Model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int IFC2x3Model::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant IFC2x3Model::data(const QModelIndex& index, int role) const
{
    ifc2x3::IfcObjectDefinition* object = ifcObjectDefinition(index);
    if (!object) {
        return {};
    }
    if (role == Qt::CheckStateRole && index.column() == NameColumn) {
        return isVisible(index) ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::ForegroundRole || role == Qt::FontRole) {
        return visibilityStyle(index, role);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return {};
    }
    const bool drawn = role == Qt::DisplayRole && QThread::currentThread() == thread();
    std::unique_lock<std::recursive_mutex> lock(m_dataSet->mutex(), std::defer_lock);
    if (drawn && m_saving) {
        if (!lock.try_lock()) {
            return textWhileSaving(index);
        }
    } else {
        lock.lock();
    }
    const QString text = cellText(*object, index.column());
    if (drawn) {
        m_drawnTexts.insert(static_cast<quint64>(index.row()) * ColumnCount + index.column(), new QString(text));
    }
    return text;
}

QString IFC2x3Model::cellText(ifc2x3::IfcObjectDefinition& object, int column) const
{
    switch (column) {
    case NameColumn:
        return QString::fromStdWString(ifc2x3::ExpressDataSet::label(object).toWString());
    case ClassColumn:
        return QString::fromLatin1(object.getType().getName());
    case GlobalIdColumn:
        return QString::fromStdWString(object.getGlobalId().toWString());
    default:
        return {};
    }
}

QVariant IFC2x3Model::textWhileSaving(const QModelIndex& index) const
{
    if (const QString* text = m_drawnTexts.object(static_cast<quint64>(index.row()) * ColumnCount + index.column())) {
        return *text;
    }
    m_firstRowNotDrawn = m_firstRowNotDrawn < 0 ? index.row() : std::min(m_firstRowNotDrawn, index.row());
    m_lastRowNotDrawn = std::max(m_lastRowNotDrawn, index.row());
    return {};
}

void IFC2x3Model::showRowsNotDrawn()
{
    if (m_firstRowNotDrawn < 0 || m_saving) {
        return;
    }
    const int first = m_firstRowNotDrawn;
    const int last = m_lastRowNotDrawn;
    m_firstRowNotDrawn = m_lastRowNotDrawn = -1;
    emit dataChanged(createIndex(first, 0), createIndex(last, ColumnCount - 1), {Qt::DisplayRole});
}

bool IFC2x3Model::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != NameColumn || !ifcObjectDefinition(index)) {
        return false;
    }
    if (value.toInt() == Qt::Checked) {
        show({index});
    } else {
        hide({index});
    }
    return true;
}

QVariant IFC2x3Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case NameColumn:
        return tr("Name");
    case ClassColumn:
        return tr("Entity");
    case GlobalIdColumn:
        return tr("GlobalId");
    default:
        return {};
    }
}

Qt::ItemFlags IFC2x3Model::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() == NameColumn) {
        f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

} // namespace _ifc2x3
} // namespace Orvane
