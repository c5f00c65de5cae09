#pragma once

#include "OrvaneWidgets/Tool.h"

#include <QPointer>

namespace Orvane {

/// A tool that works on the active model.
class ModelTool : public Tool
{
    Q_OBJECT
public:
    explicit ModelTool(QObject* parent = nullptr);
    ~ModelTool() override;

    void setModel(Model* model) override;
    Model* model() const;

private:
    QPointer<Model> m_model;
};

} // namespace Orvane
