#pragma once

#include "Step/BaseEntity.h"
#include "Step/RefPtr.h"

#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <unordered_map>
#include <vector>

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// On how many of a model's building elements a property path resolves.
///
/// The elements are grouped by type first, so that a path into the type
/// ("Type/...") is resolved once per distinct type rather than once per
/// element. Grouping and counting go step by step until a deadline, so that
/// a large model is looked through without holding up its thread for long.
/// Reads go through the model, which takes the data set's lock; the model
/// must outlive the object.
class PropertyPathResolution
{
public:
    /// A count under way: advance() it until done.
    struct Count
    {
        QStringList path;
        int found = 0;
        int next = 0; // the next element, or type group for a path into the type
        bool done = false;
    };

    explicit PropertyPathResolution(const _ifc2x3::IFC2x3Model& model);
    ~PropertyPathResolution();

    int elementCount() const { return rows.size(); }
    static Count start(const QString& path);
    /// Goes on with count until it is done or the deadline passes, one step
    /// (an element, or a type) at least; true once done. A path into the
    /// type waits for the elements to be grouped by type, which is done once.
    bool advance(Count& count, QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
    /// The whole count at once.
    int count(const QString& path);

private:
    struct TypeGroup
    {
        Step::RefPtr<Step::BaseEntity> type;
        int elements = 0;
    };

    /// Groups elements by type until the deadline; true once all are.
    bool groupElements(const QDeadlineTimer& deadline);
    void groupElement(int row);
    void advanceOnTypes(Count& count, const QDeadlineTimer& deadline) const;
    void advanceOnElements(Count& count, const QDeadlineTimer& deadline) const;

    const _ifc2x3::IFC2x3Model& model;
    QList<int> rows; // the building elements
    int groupedRows = 0;
    std::vector<TypeGroup> groups; // elements without a type are in none
    std::unordered_map<const Step::BaseEntity*, std::size_t> groupOfType;
};

} // namespace Orvane
