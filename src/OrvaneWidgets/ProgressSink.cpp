#include "ProgressSink.h"

namespace Orvane {

ProgressSink::~ProgressSink() = default;

} // namespace Orvane
