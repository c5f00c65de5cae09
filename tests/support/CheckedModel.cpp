#include "CheckedModel.h"

#include <gtest/gtest.h>

namespace testsupport {

namespace {
QtMessageHandler previousHandler = nullptr;
int checkedModels = 0;

void failOnTesterMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && qstrcmp(context.category, "qt.modeltest") == 0 && type >= QtWarningMsg) {
        ADD_FAILURE() << "QAbstractItemModelTester: " << message.toStdString();
    } else if (previousHandler) {
        previousHandler(type, context, message);
    }
}
} // namespace

CheckedModel::CheckedModel(QAbstractItemModel* model)
{
    if (checkedModels++ == 0) {
        previousHandler = qInstallMessageHandler(failOnTesterMessage);
    }
    m_tester =
        std::make_unique<QAbstractItemModelTester>(model, QAbstractItemModelTester::FailureReportingMode::Warning);
}

CheckedModel::~CheckedModel()
{
    m_tester.reset();
    if (--checkedModels == 0) {
        qInstallMessageHandler(previousHandler);
    }
}

} // namespace testsupport
