// The loading thread, the local event loop that waits for it, and the
// progress dialog.
#include "mapview/map_loading.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <new>
#include <thread>

#include "messages/messages.h"
#include "platform/bitmap/device_bmp.h"

namespace
{

constexpr int kProgressDelayMs = 500; // a load shorter than this shows no progress
constexpr int kProgressTickMs = 50;   // how often the progress dialog follows the load
constexpr int kDeviceBitsPerPixel = 8;

IMapLoadWork* s_pWork = nullptr;

class CProgramWork final : public IMapLoadWork
{
public:
    MapLoadResult Run(const MapLoadRequest& request, CMapProgress& progress) override
    {
        return LoadMapWork(request, progress);
    }
};

// Steps of a conversion, in fractions of the whole: reading the scan, the
// palette and its mapping, writing the file and reading it back.
constexpr double kReadEnd = 0.2;
constexpr double kConvertEnd = 0.9;

MapLoadResult Converted(const MapLoadRequest& request, MapImage scan, CMapProgress& progress)
{
    MapLoadResult result;
    progress.SetStep(kReadEnd, kConvertEnd);
    DeviceBmpError convertError = DeviceBmpError::None;
    std::optional<QImage> device =
        MakeDeviceImage(scan.image, DeviceBmpOptions{.bitsPerPixel = kDeviceBitsPerPixel, .bDither = false, .crop = {}},
                        &convertError, &progress);
    scan.image = QImage();
    if (!device)
    {
        result.bCancelled = convertError == DeviceBmpError::Cancelled;
        result.readError = result.bCancelled ? MapReadError::Cancelled : MapReadError::OutOfMemory;
        return result;
    }
    progress.SetStep(kConvertEnd, 1.0);
    std::string bytes = EncodeBmp(*device, kDeviceBitsPerPixel);
    device.reset();
    if (bytes.empty())
    {
        result.readError = MapReadError::OutOfMemory;
        return result;
    }
    result.writeError = platform::WriteWholeFile(std::filesystem::path(request.devicePath.toStdU16String()), bytes);
    if (result.writeError)
        return result;
    // The map shown is the file as written, read back by the program's own decoder.
    BmpError bmpError = BmpError::None;
    std::optional<DecodedBitmap> written = DecodeBmp(bytes.data(), bytes.size(), &bmpError);
    if (!written)
    {
        result.readError = MapReadError::OutOfMemory;
        return result;
    }
    result.map = MapImage{.image = std::move(written->image),
                          .info = written->info,
                          .format = "bmp",
                          .paletteSize = written->paletteEntries};
    progress.Report(1.0);
    return result;
}

// The state the loading thread and the waiting caller share.
struct SharedLoad
{
    CMapProgress progress;
    MapLoadResult result;
    std::atomic<bool> bDone{false};
};

} // namespace

void SetMapLoadWork(IMapLoadWork* work)
{
    s_pWork = work;
}

MapLoadResult LoadMapWork(const MapLoadRequest& request, CMapProgress& progress)
{
    MapLoadResult result;
    progress.SetStep(0.0, request.devicePath.isEmpty() ? 1.0 : kReadEnd);
    std::optional<MapImage> map = ReadMapImage(request.path, &result.readError, &progress);
    if (!map)
    {
        result.bCancelled = result.readError == MapReadError::Cancelled;
        return result;
    }
    if (request.devicePath.isEmpty())
    {
        result.map = std::move(map);
        return result;
    }
    return Converted(request, std::move(*map), progress);
}

MapLoadResult RunMapLoad(const MapLoadRequest& request, QWidget* parent, const QString& label)
{
    static CProgramWork s_programWork;
    IMapLoadWork* work = s_pWork != nullptr ? s_pWork : &s_programWork;
    const auto shared = std::make_shared<SharedLoad>();

    QEventLoop loop;
    QObject notifier; // lives on this thread; the loading thread wakes the loop through it
    std::thread thread(
        [shared, request, work, &notifier, &loop]
        {
            try
            {
                shared->result = work->Run(request, shared->progress);
            }
            catch (const std::bad_alloc&)
            {
                shared->result = MapLoadResult();
                shared->result.readError = MapReadError::OutOfMemory;
            }
            shared->bDone.store(true);
            QMetaObject::invokeMethod(
                &notifier, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });

    // Qt's dialog shows itself once the minimum duration has passed. It is
    // the parent's child: should the parent go while the load runs, the
    // dialog goes with it, and the guard knows.
    const QPointer<QProgressDialog> dialog =
        new QProgressDialog(label, QString::fromUtf8(GetMessageText(MSG_CANCEL_LOAD, nullptr)), 0, 1000, parent);
    dialog->setWindowTitle(QStringLiteral("Kartora")); // as the frame's; the window system would show the binary's name
    dialog->setWindowModality(Qt::NonModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(kProgressDelayMs);
    QObject::connect(dialog, &QProgressDialog::canceled, [shared] { shared->progress.Cancel(); });
    QElapsedTimer clock;
    clock.start();
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&]
                     {
                         if (dialog && clock.elapsed() >= kProgressDelayMs && !shared->progress.IsCancelled())
                             dialog->setValue(std::max(1, shared->progress.Permille()));
                     });
    ticker.start(kProgressTickMs);

    while (!shared->bDone.load())
    {
        // A quitting application ends every event loop at once: the load is
        // of no use any more, and stops at its next report.
        if (loop.exec() != 0)
        {
            shared->progress.Cancel();
            break;
        }
    }
    thread.join();
    ticker.stop();
    delete dialog.data();
    MapLoadResult result = std::move(shared->result);
    if (shared->progress.IsCancelled())
    {
        // Cancelled while it ended: what was read is not wanted.
        result = MapLoadResult();
        result.readError = MapReadError::Cancelled;
        result.bCancelled = true;
    }
    return result;
}
