// The calibration shared with other map programs: File > "Export
// calibration..." writes the dialog's calibration as a world file, an
// OziExplorer .map file, KML, KMZ or GPX; File > "Import calibration..."
// takes another program's into the dialog as Load takes a file.
#include "refdialog/reference_dlg.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <cmath>
#include <filesystem>

#include "calibration/bmp_size.h"
#include "calibration/export_files.h"
#include "calibration/fit.h"
#include "calibration/import_source.h"
#include "formats/cal_save.h"
#include "messages/messages.h"
#include "platform/bitmap/map_png.h"
#include "platform/file_dialog.h"
#include "platform/file_writer.h"
#include "refdialog/file_messages.h"
#include "resources/menus.h"
#include "resources/resource.h"
#include "shell/message_box_dlg.h"

using namespace formats;
using namespace platform;

namespace fs = std::filesystem;

namespace
{

// One filter per format; the chosen file's extension says which.
const QString kExportFilter =
    QStringLiteral("World file (*.bpw) | *.bpw | World file (*.wld) | *.wld | OziExplorer map (*.map) | *.map | "
                   "KML (*.kml) | *.kml | KMZ (*.kmz) | *.kmz | GPX (*.gpx) | *.gpx ||");
const QString kImportFilter = QStringLiteral(
    "Calibrations | *.bpw;*.bmpw;*.wld;*.tfw;*.jgw;*.pgw;*.map;*.kml;*.kmz | "
    "World file | *.bpw;*.bmpw;*.wld;*.tfw;*.jgw;*.pgw | OziExplorer map (*.map) | *.map | KML (*.kml) | *.kml | "
    "KMZ (*.kmz) | *.kmz ||");

const double kRadToDeg = 180.0 / (4.0 * std::atan(1.0));

fs::path PathOf(const QString& path)
{
    return fs::path(path.toStdU16String());
}

// The file dialog's title: the command's caption in the current language,
// without its ellipsis.
QString Title(int commandId)
{
    QString title = QString::fromUtf8(CommandCaptionIn(commandId, g_nLanguage));
    title.remove(QChar(0x2026));
    return title;
}

void ShowExchangeError(const QString& path, const calibration::ExchangeError& error)
{
    ShowMessageText(QDir::toNativeSeparators(path) + QStringLiteral(":\n") +
                        QString::fromStdString(calibration::ExchangeErrorText(error)),
                    MB_OK);
}

} // namespace

QString CReferenceDlg::ExchangeMapPath() const
{
    if (m_btnShowMap->isEnabled() && !m_strBmpPath.isEmpty())
        return m_strBmpPath;
    if (m_strBmpFileName.isEmpty())
        return {};
    // Beside the reference file loaded last (one double-clicked included),
    // else in the folder the file dialogs open in.
    for (const QString& folder : {m_strLoadedCalDir, m_strCalDir})
        if (!folder.isEmpty() && QFileInfo(QDir(folder).filePath(m_strBmpFileName)).isFile())
            return QDir(folder).filePath(m_strBmpFileName);
    return {};
}

void CReferenceDlg::OnExportCalibration()
{
    // The calibration as Save would write it, with Save's first stops.
    if (!EntryToWgs84() || ReportPositionFault() || !ExchangeOtherPixels())
        return;
    calibration::Calibration c;
    for (int p = 0; p < 2; ++p)
    {
        const double* position = m_converter.Wgs84Position(p);
        c.pixel[p] = {static_cast<double>(m_nPixel[p][0]), static_cast<double>(m_nPixel[p][1])};
        c.position[p] = {position[0] * kRadToDeg, position[1] * kRadToDeg};
    }
    calibration::ExportRequest request;
    request.values = calibration::CalValuesOf(c);
    request.values.m_strMapName = m_strMapName.toStdString();
    request.values.m_strBmpFileName = m_strBmpFileName.toStdString();
    request.values.m_dHeightDiff = m_dHeightDiff;

    const QString bmp = ExchangeMapPath();
    CFileDialog dialog(false, QStringLiteral("bpw"), m_strMapName + QStringLiteral(".bpw"), kExportFilter, this);
    dialog.m_request.title = Title(ID_EXPORT_CALIBRATION);
    dialog.m_request.initialDir = bmp.isEmpty() ? m_strCalDir : QFileInfo(bmp).absolutePath();
    if (dialog.DoModal() != IDOK)
        return;
    const QString path = dialog.GetPathName();
    request.target = PathOf(path);
    const std::optional<calibration::ExportFormat> format = calibration::ExportFormatOfPath(request.target);
    if (!format)
        return ShowExchangeError(path, {calibration::ExchangeFault::UnknownExportKind});
    request.format = *format;
    if (!bmp.isEmpty())
    {
        request.bmp = PathOf(bmp);
        request.size = calibration::ReadBmpSize(request.bmp);
    }
    if (calibration::NeedsMapSize(request.format) && !request.size)
        return ShowExchangeError(bmp.isEmpty() ? m_strBmpFileName : bmp, {calibration::ExchangeFault::MapNotReadable});
    if (request.format == calibration::ExportFormat::Kmz)
    {
        std::optional<std::string> png = MapAsPng(request.bmp);
        if (!png)
            return ShowExchangeError(bmp, {calibration::ExchangeFault::MapNotReadable});
        request.png = std::move(*png);
    }

    const auto files = calibration::ExportFiles(request);
    if (const auto* error = std::get_if<calibration::ExchangeError>(&files))
        return ShowExchangeError(path, *error);
    // Every file checked and every question answered before the first is
    // written: a No leaves everything as it was.
    for (const calibration::ExportFile& file : std::get<std::vector<calibration::ExportFile>>(files))
    {
        const QString name = QString::fromStdU16String(file.path.u16string());
        if (const auto refused = CheckReplaceableFile(file.path))
            return ShowFileNotWritten(name, *refused);
        const auto overwrite = formats::OverwriteCheck(name.toStdString(), QFileInfo::exists(name));
        if (overwrite && !PassesSaveCheck(*overwrite))
            return;
    }
    for (const calibration::ExportFile& file : std::get<std::vector<calibration::ExportFile>>(files))
        if (const auto error = WriteWholeFile(file.path, file.bytes))
            return ShowFileNotWritten(QString::fromStdU16String(file.path.u16string()), *error);
}

void CReferenceDlg::OnImportCalibration()
{
    CFileDialog dialog(true, QString(), QString(), kImportFilter, this);
    dialog.m_request.title = Title(ID_IMPORT_CALIBRATION);
    dialog.m_request.initialDir = m_strCalDir;
    if (dialog.DoModal() != IDOK)
        return;
    const QString path = dialog.GetPathName();
    // The directory counts from the choice on, as for a reference file.
    m_strCalDir = QDir::toNativeSeparators(path.left(path.size() - dialog.GetFileName().size()));

    // The map shown is the map the calibration is for.
    calibration::ImportMap map;
    if (m_btnShowMap->isEnabled() && !m_strBmpPath.isEmpty())
        map.bmp = PathOf(m_strBmpPath);
    const auto imported = calibration::ImportCalibration(PathOf(path), map);
    if (const auto* error = std::get_if<calibration::ExchangeError>(&imported))
        return ShowExchangeError(path, *error);
    // Another program's file has no height difference: the dialog's stays.
    CalValues values = std::get<CalValues>(imported);
    values.m_dHeightDiff = m_dHeightDiff;
    TakeCalValues(values);
    show();
}
