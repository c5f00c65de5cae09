#include "MaterialQuantitiesSettingsHolder.h"

namespace Orvane {

MaterialQuantitiesSettingsHolder::~MaterialQuantitiesSettingsHolder() = default;

} // namespace Orvane
