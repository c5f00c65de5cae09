#pragma once

#include <QAbstractItemModelTester>

#include <memory>

namespace testsupport {

/// Runs QAbstractItemModelTester on a model while alive; its complaints
/// fail the current test.
class CheckedModel
{
public:
    explicit CheckedModel(QAbstractItemModel* model);
    ~CheckedModel();
    CheckedModel(const CheckedModel&) = delete;
    CheckedModel& operator=(const CheckedModel&) = delete;

private:
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

} // namespace testsupport
