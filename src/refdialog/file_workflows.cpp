// The file workflows of the reference dialog: choosing a .CAL file, Load,
// Save and "Ref.from Map".
#include "refdialog/reference_dlg.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <filesystem>
#include <istream>
#include <sstream>
#include <string>

#include "formats/cal_file.h"
#include "formats/cal_save.h"
#include "formats/file_names.h"
#include "messages/messages.h"
#include "platform/bitmap/device_bmp.h"
#include "platform/bitmap/map_image.h"
#include "platform/file_dialog.h"
#include "platform/file_writer.h"
#include "platform/regular_file.h"
#include "platform/user_message.h"
#include "refdialog/file_messages.h"
#include "resources/resource.h"
#include "shell/message_box_dlg.h"
#include "shell/window_messages.h"

using namespace formats;
using namespace platform;

std::uint32_t g_pickedPixels[4] = {};

namespace
{

const QString kCalFilter = QStringLiteral("Kartora File (*.CAL) | *.CAL||");
// The device's BMP first; scans of the other formats the map view reads
// second, converted to a BMP on request.
const QString kBmpFilter = QStringLiteral("BitMap-File (*.BMP) | *.BMP|"
                                          "Scan (*.PNG;*.JPG;*.JPEG;*.TIF;*.TIFF;*.GIF) | "
                                          "*.PNG;*.JPG;*.JPEG;*.TIF;*.TIFF;*.GIF||");
const QString kFileDialogTitle = QStringLiteral("Kartora File");

// The name rules compare UTF-8 bytes exactly, case included.
std::string Utf8(const QString& text)
{
    return text.toStdString();
}

// A Yes/No question of a workflow; only No stops it.
bool AnsweredNo(MessageId question)
{
    return ShowMessage(question, MB_YESNO) == IDNO;
}

// A reference file has ten lines. A file that is something else (a bitmap
// or a long text chosen by mistake) can have thousands of lines without a
// keyword, and one modal box per line would keep the user pressing "Ok" for
// a long time. Past this many boxes about ignored lines, the further ones
// are ignored without a box; the other message is always shown.
constexpr int kMaxIgnoredLineMessages = 10;

class CCalReaderMessages
{
public:
    void operator()(MessageId id, const std::string& insert)
    {
        if (id == MSG_NO_KEYWORD_IN_LINE && ++m_nIgnoredLines > kMaxIgnoredLineMessages)
            return;
        ShowMessageText(QString::fromUtf8(GetMessageText(id, insert.c_str())), MB_OK);
    }

private:
    int m_nIgnoredLines = 0;
};

} // namespace

std::optional<QString> CReferenceDlg::ChooseCalFile(bool bOpen)
{
    CFileDialog dialog(bOpen, QStringLiteral(".CAL"), m_strMapName, kCalFilter, this);
    dialog.m_request.title = kFileDialogTitle;
    dialog.m_request.initialDir = m_strCalDir;
    if (dialog.DoModal() != IDOK)
        return std::nullopt;

    const QString path = dialog.GetPathName();
    const QString fileName = dialog.GetFileName();
    // The directory counts from the choice on, whatever happens next.
    m_strCalDir = QDir::toNativeSeparators(path.left(path.size() - fileName.size()));

    if (!bOpen)
    {
        const auto overwrite = formats::OverwriteCheck(Utf8(path), QFileInfo::exists(path));
        if (overwrite && !PassesSaveCheck(*overwrite))
            return std::nullopt;
    }
    return path;
}

void CReferenceDlg::OnLoad()
{
    m_bModified = true;
    const std::optional<QString> path = ChooseCalFile(true);
    if (path)
        LoadCalFile(*path);
}

bool CReferenceDlg::LoadCalFile(const QString& path)
{
    // Read line by line as the reader goes, whatever the file's size. A
    // directory, a pipe or a device ends Load as an unreadable file does.
    QFile file(path);
    if (!OpenRegularFileForReading(file))
        return false;
    CDeviceStreamBuf buffer(file);
    std::istream in(&buffer);

    // The reader leaves what the file does not mention as it was.
    CalValues values = MembersAsCalValues();
    ReadCalFile(in, values, CCalReaderMessages());
    file.close();
    m_strLoadedCalDir = QFileInfo(path).absolutePath();
    TakeCalValues(values);
    return true;
}

void CReferenceDlg::TakeCalValues(const CalValues& values)
{
    m_bModified = true;

    // The values are WGS84 degrees and decimal minutes: taken as such.
    const std::int32_t userDatum = SelectWgs84Datum();
    const std::int32_t userFormat = m_nFormat;
    m_nFormat = FORMAT_DEC_MINUTE;

    m_strMapName = QString::fromStdString(values.m_strMapName);
    m_strBmpFileName = QString::fromStdString(values.m_strBmpFileName);
    CopyPointsFromCal(values, {m_nPixel, m_nHemisphere, m_nDegree, m_dMinute});
    m_dHeightDiff = values.m_dHeightDiff;

    UpdateData(false);
    EntryToWgs84();

    if (userFormat != FORMAT_DEC_MINUTE || userDatum != DATUM_WGS84)
    {
        m_nFormat = userFormat;
        m_cbFormat->setCurrentIndex(m_nFormat);
        RestoreDatum(userDatum);
    }
    OnRefPoint1();
    UpdateData(false);
}

void CReferenceDlg::TakeReferencePoints(const CalValues& points)
{
    CalValues values = points;
    values.m_strMapName = Utf8(m_strMapName);
    values.m_strBmpFileName = Utf8(m_strBmpFileName);
    values.m_dHeightDiff = m_dHeightDiff;
    TakeCalValues(values);
    // The map's markers move to the points taken, as after typing a pixel.
    for (std::size_t point = 0; point < 2; ++point)
        PostMessage(m_pView, WM_REFPOINT_MOVED, static_cast<WPARAM>(point), reinterpret_cast<LPARAM>(m_nPixel[point]));
    // In front, as after an import: the user sees the points taken.
    show();
    raise();
    activateWindow();
}

bool CReferenceDlg::ExchangeOtherPixels()
{
    const int other = 1 - m_nCurPoint;
    if (static_cast<std::int32_t>(m_nPixel[other][0]) >= 0 && static_cast<std::int32_t>(m_nPixel[other][1]) >= 0)
        return true;
    if (other == 0)
        OnRefPoint1();
    else
        OnRefPoint2();
    // Reports the field in the error window and puts the focus on it.
    return UpdateData(true);
}

std::int32_t CReferenceDlg::SelectWgs84Datum()
{
    const std::int32_t userDatum = m_nDatum;
    m_nDatum = DATUM_WGS84;
    m_converter.SelectDatum(DATUM_WGS84);
    return userDatum;
}

CalValues CReferenceDlg::MembersAsCalValues()
{
    CalValues values;
    values.m_strMapName = Utf8(m_strMapName);
    values.m_strBmpFileName = Utf8(m_strBmpFileName);
    CopyPointsToCal({m_nPixel, m_nHemisphere, m_nDegree, m_dMinute}, values);
    values.m_dHeightDiff = m_dHeightDiff;
    return values;
}

void CReferenceDlg::RestoreDatum(std::int32_t datum)
{
    m_nDatum = datum;
    m_cbDatum->setCurrentIndex(m_nDatum);
    m_converter.SelectDatum(m_nDatum);
    Wgs84ToEntry();
}

bool CReferenceDlg::OnSave()
{
    // A field that failed its check keeps its last valid value in its
    // member; writing that would put into the file a value the user does not
    // see and count the typed one as saved. Save stops with the field in
    // front of the user and the error window showing.
    if (!EntryToWgs84())
        return false;
    // A point the converter gave no position would keep its previous one,
    // which the user no longer sees: Save stops before any question, with
    // the value to mend in front of the user.
    if (ReportPositionFault())
        return false;
    // The exchange checks the current point's fields only. A point picked
    // below or left of the map has a negative pixel, which its field refuses
    // but the file would hold as 2^32 minus the distance: Save shows that
    // point and stops at its field.
    if (!ExchangeOtherPixels())
        return false;
    for (const formats::SaveCheck& check : formats::ChecksBeforeFileChoice(MembersAsCalValues(), m_converter))
        if (!PassesSaveCheck(check))
            return false;
    const std::optional<QString> path = ChooseCalFile(false);
    if (!path)
        return false;
    if (const auto check = formats::CalNameCheck(MembersAsCalValues(), Utf8(*path)); check && !PassesSaveCheck(*check))
        return false;

    const std::int32_t userDatum = SelectWgs84Datum();
    UpdateData(true);

    // The file's angles are the converter's WGS84 positions, not the fields'.
    CalValues values = MembersAsCalValues();
    const std::optional<MessageId> unfit = formats::TakeFilePositions(m_converter, values);
    std::ostringstream out;
    WriteCalFile(out, values);

    // Written completely or not at all (see WriteWholeFile): a failed write
    // leaves the old file as it was. In a directory the user may not write
    // to, an existing file that the user may write is written in place.
    std::optional<FileWriteError> writeError;
    if (!unfit)
        writeError = WriteWholeFile(std::filesystem::path(path->toStdU16String()), out.str());
    const bool bWritten = !unfit && !writeError;
    if (bWritten)
    {
        m_bModified = false;
        ClearFieldEdits();
        WriteSettings(values);
    }
    // Also after a failed write: the user's datum is in force again.
    if (userDatum != DATUM_WGS84)
        RestoreDatum(userDatum);
    // After the exchanges of the restore, which hide the error window.
    if (unfit)
        m_converter.ShowInputError(*unfit);
    else if (writeError)
        ShowFileNotWritten(*path, *writeError);
    if (bWritten)
        emit fileWritten(*path, values);
    return bWritten;
}

void CReferenceDlg::OnRefFromMap()
{
    m_strSavedBmpFileName = m_strBmpFileName;
    m_strSavedMapName = m_strMapName;

    CFileDialog dialog(true, QStringLiteral(".BMP"), m_strBmpFileName, kBmpFilter, this);
    dialog.m_request.title = kFileDialogTitle;
    dialog.m_request.initialDir = m_strCalDir;
    if (dialog.DoModal() != IDOK)
        return;
    QString path = dialog.GetPathName();
    QString fileName = dialog.GetFileName();

    // A map the device cannot read as it is: offered as a device BMP beside
    // it, whose name then counts in the questions and the fields.
    QString devicePath;
    if (ClassifyMapFile(path) == MapFileKind::OtherImage)
    {
        const QString candidate = DeviceBmpPathFor(path);
        const QString candidateName = QFileInfo(candidate).fileName();
        if (ShowMessageText(QString::fromUtf8(GetMessageText(MSG_WRITE_DEVICE_BMP, Utf8(candidateName).c_str())),
                            MB_YESNO) == IDYES)
        {
            devicePath = candidate;
            fileName = candidateName;
        }
    }
    const QString title = QString::fromStdString(std::string(FileTitle(Utf8(fileName))));

    if (!m_strMapName.isEmpty() && m_strMapName != title && AnsweredNo(MSG_FILE_AND_MAP_NAME))
        return;
    if (!m_strBmpFileName.isEmpty() && m_strBmpFileName != fileName && AnsweredNo(MSG_LOADING_NAME_DIFFERS))
        return;
    if (m_strMapName.isEmpty())
        m_strMapName = title;
    m_strBmpFileName = fileName;

    g_pickedPixels[0] = m_nPixel[0][0];
    g_pickedPixels[1] = m_nPixel[0][1];
    g_pickedPixels[2] = m_nPixel[1][0];
    g_pickedPixels[3] = m_nPixel[1][1];
    m_strBmpPath = devicePath.isEmpty() ? path : devicePath;
    m_mapConversion = {path, devicePath};

    if (m_pView != nullptr)
    {
        if (devicePath.isEmpty())
            PostMessage(m_pView, WM_MAP_LOAD, reinterpret_cast<WPARAM>(&m_strBmpPath),
                        reinterpret_cast<LPARAM>(g_pickedPixels));
        else
            PostMessage(m_pView, WM_MAP_CONVERT, reinterpret_cast<WPARAM>(&m_mapConversion),
                        reinterpret_cast<LPARAM>(g_pickedPixels));
        m_btnShowMap->setEnabled(true);
    }
    UpdateData(false);
    hide();
    update();
}
