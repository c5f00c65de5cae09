#pragma once

#include "MaterialQuantitiesSettings.h"
#include "MaterialQuantitiesSettingsHolder.h"

/// Stands for the tool object and its dock: records what the page hands them.
class FakeTool : public Orvane::MaterialQuantitiesSettingsHolder
{
public:
    const Orvane::MaterialQuantitiesSettings& getToolSettings() const override { return settings; }
    void setToolSettings(const Orvane::MaterialQuantitiesSettings& newSettings) override
    {
        settings = newSettings;
        ++toolUpdates;
    }
    void setDockSettings(const Orvane::MaterialQuantitiesSettings& newSettings) override
    {
        dockSettings = newSettings;
        ++dockUpdates;
    }

    Orvane::MaterialQuantitiesSettings settings;
    Orvane::MaterialQuantitiesSettings dockSettings;
    int toolUpdates = 0;
    int dockUpdates = 0;
};
