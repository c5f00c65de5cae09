#pragma once

namespace Orvane {

class MaterialQuantitiesSettings;

/// What the settings page needs of the tool that owns it: the tool's copy of
/// the settings, and a way to hand applied settings to the tool and its dock.
class MaterialQuantitiesSettingsHolder
{
public:
    virtual ~MaterialQuantitiesSettingsHolder();

    virtual const MaterialQuantitiesSettings& getToolSettings() const = 0;
    virtual void setToolSettings(const MaterialQuantitiesSettings& settings) = 0;
    /// Gives the dock its copy; nothing happens while the tool has no dock.
    virtual void setDockSettings(const MaterialQuantitiesSettings& settings) = 0;
};

} // namespace Orvane
