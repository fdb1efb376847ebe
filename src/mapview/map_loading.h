#pragma once
// Loading a map off the user-interface thread.
//
// A map of 20000 x 20000 pixels takes a second or more to read, and far
// longer to convert to the device's colours. The load runs on a thread of
// its own while the event loop goes on, so the windows keep repainting and
// the reference dialog stays usable; the caller waits in a local event loop,
// so that the questions and messages after a load come in the order the
// program always had. A load that takes more than half a second shows a
// progress dialog with Cancel.

#include <QString>

#include <optional>

#include "platform/bitmap/map_image.h"
#include "platform/file_writer.h"

class QWidget;

/// What a load reads: the map's file, and for a conversion the device BMP to
/// write from it first (the map shown is then that BMP).
struct MapLoadRequest
{
    QString path;
    QString devicePath; ///< empty: the file is shown as it is
};

struct MapLoadResult
{
    std::optional<MapImage> map; ///< the map to show; nothing on failure and on Cancel
    MapReadError readError = MapReadError::None;
    std::optional<platform::FileWriteError> writeError; ///< the device BMP was not written
    bool bCancelled = false;
};

/// The work of a load, done on the loading thread. The program's own reads
/// the map and writes the device BMP; tests put in another.
class IMapLoadWork
{
public:
    virtual ~IMapLoadWork() = default;
    /// Reports to `progress` as it goes and stops soon once it is cancelled.
    virtual MapLoadResult Run(const MapLoadRequest& request, CMapProgress& progress) = 0;
};

/// Installs `work` for all later loads (not owned); null restores the program's own.
void SetMapLoadWork(IMapLoadWork* work);

/// The program's own work: ReadMapImage, and for a conversion MakeDeviceImage
/// at 8 bits per pixel, written with WriteWholeFile and read back from the
/// bytes written, so that the map shown is the file's.
MapLoadResult LoadMapWork(const MapLoadRequest& request, CMapProgress& progress);

/// Runs the load on its own thread and returns when it has ended; meanwhile
/// the event loop runs. After half a second a progress dialog with Cancel
/// (labelled `label`, its parent `parent`) shows how far it has come. When
/// the application quits meanwhile, the load is cancelled.
MapLoadResult RunMapLoad(const MapLoadRequest& request, QWidget* parent, const QString& label);
