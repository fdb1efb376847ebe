#include "resources/icons.h"

#include "resources/resource.h"

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

QIcon LoadResourceIcon(int id)
{
    if (id != IDR_MAINFRAME && id != IDI_DIALOG)
        return QIcon();
    RegisterResourceFiles();
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/%1/%2.png").arg(id).arg(size), QSize(size, size));
    return icon;
}
