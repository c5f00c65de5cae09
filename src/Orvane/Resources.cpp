#include "Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the generated initialiser, which lives in the
// global namespace: it must be expanded outside namespace Orvane.
static void initOrvaneResources()
{
    Q_INIT_RESOURCE(orvane);
}

namespace Orvane {

void initResources()
{
    static const bool initialised = (initOrvaneResources(), true);
    Q_UNUSED(initialised);
}

} // namespace Orvane
