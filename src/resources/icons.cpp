#include "resources/icons.h"

#include <QtGlobal>

// The compiled-in resources of a static library must be registered by name;
// the macro may not stand inside a namespace.
static void InitIconResources()
{
    Q_INIT_RESOURCE(resources);
}

void RegisterResourceFiles()
{
    static const bool s_bRegistered = (InitIconResources(), true);
    (void)s_bRegistered;
}
