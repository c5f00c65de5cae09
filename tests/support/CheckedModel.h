#pragma once

#include <QAbstractItemModelTester>

namespace testsupport {

/// Runs QAbstractItemModelTester on a model while alive. A complaint stops
/// the program with the tester's message, so the test fails where the model
/// went wrong.
class CheckedModel : public QAbstractItemModelTester
{
public:
    explicit CheckedModel(QAbstractItemModel* model) : QAbstractItemModelTester(model, FailureReportingMode::Fatal) {}
};

} // namespace testsupport
