#include "ModelTool.h"

#include "Orvane/Model.h"

namespace Orvane {

ModelTool::ModelTool(QObject* parent) : Tool(parent) {}

ModelTool::~ModelTool() = default;

void ModelTool::setModel(Model* model)
{
    m_model = model;
}

Model* ModelTool::model() const
{
    return m_model;
}

} // namespace Orvane
