#pragma once

#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include <QTest>

#include <gtest/gtest.h>

namespace testsupport {

/// Gives the dock a model as the host does, and waits for the results it
/// reads on a worker thread to show.
inline void showInDock(Orvane::MaterialQuantitiesDockWidget& dock, Orvane::Model* model)
{
    dock.setModel(model);
    if (!QTest::qWaitFor([&dock] { return !dock.isReadingResults(); }, 60000)) {
        ADD_FAILURE() << "the dock is still reading the model's results";
    }
}

} // namespace testsupport
