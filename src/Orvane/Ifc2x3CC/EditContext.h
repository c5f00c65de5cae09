#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_set>

namespace ifc2x3 {
class ExpressDataSet;
}

namespace Step {
class BaseEntity;
}

namespace Orvane {
namespace _ifc2x3 {
class UnitConverter;
}

namespace Ifc2x3CC {

/// What editing the property sets of one data set works with: the data
/// set, whose lock guards every edit; the converter of its project's units;
/// and the properties and quantities that several sets or complex
/// properties list (some exporters share them), which are never changed nor
/// deleted on behalf of one of them.
///
/// Both are found on first use and kept, so a context that lives as long as
/// its data set (the host model's) finds them once for all its edits.
class EditContext
{
public:
    /// A context that reads the units of the data set itself.
    explicit EditContext(ifc2x3::ExpressDataSet& dataSet);
    /// A context that uses a converter kept by its owner for the same data
    /// set.
    EditContext(ifc2x3::ExpressDataSet& dataSet, _ifc2x3::UnitConverter& units);
    ~EditContext();
    EditContext(const EditContext&) = delete;
    EditContext& operator=(const EditContext&) = delete;

    ifc2x3::ExpressDataSet& dataSet() const { return m_dataSet; }
    _ifc2x3::UnitConverter& units();

    /// Holds the data set's lock for one edit through the context. Edits
    /// through a context never make a part shared; other changes of the data
    /// set since the context's last edit may, and make it look again.
    class Edit
    {
    public:
        explicit Edit(EditContext& context);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

    private:
        EditContext& m_context;
        std::lock_guard<std::recursive_mutex> m_lock;
    };

    /// Whether several sets or complex properties list the part. Called
    /// within an Edit.
    bool isSharedPart(const Step::BaseEntity& part);

private:
    ifc2x3::ExpressDataSet& m_dataSet;
    std::unique_ptr<_ifc2x3::UnitConverter> m_ownUnits;
    _ifc2x3::UnitConverter* m_units = nullptr;
    std::optional<std::unordered_set<std::uint64_t>> m_sharedParts;
    /// The data set's change count when the last edit ended.
    std::uint64_t m_changesSeen = 0;
};

} // namespace Ifc2x3CC
} // namespace Orvane
