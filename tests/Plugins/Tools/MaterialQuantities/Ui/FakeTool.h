#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsHolder.h"

/// Stands for the tool object and its dock: records what the page hands them.
class FakeTool : public Orvane::MaterialQuantitiesSettingsHolder
{
public:
    const Orvane::MaterialQuantitiesSettings& getToolSettings() const override { return settings; }
    void setToolSettings(const Orvane::MaterialQuantitiesSettings& newSettings) override { settings = newSettings; }
    void setDockSettings(const Orvane::MaterialQuantitiesSettings& newSettings) override { dockSettings = newSettings; }

    Orvane::MaterialQuantitiesSettings settings;
    Orvane::MaterialQuantitiesSettings dockSettings;
};
