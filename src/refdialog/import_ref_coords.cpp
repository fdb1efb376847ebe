// Both points' coordinates from a MagicMaps export.
#include "refdialog/reference_dlg.h"

#include <QFile>

#include <sstream>
#include <string>

#include "formats/file_names.h"
#include "formats/magicmaps.h"
#include "platform/file_dialog.h"
#include "platform/regular_file.h"

using namespace formats;

namespace
{

// Only the first two lines of the export count.
constexpr int kPointLines = 2;

} // namespace

LRESULT CReferenceDlg::OnImportRefCoords(WPARAM, LPARAM)
{
    CFileDialog dialog(true, QStringLiteral(".TXT"), m_strMapName, QStringLiteral("Ref.Coordinates (*.TXT) | *.TXT||"),
                       this);
    dialog.m_request.title = QStringLiteral("Import Ref.Coordinates from MagicMaps");
    dialog.m_request.initialDir = m_strCalDir;
    if (dialog.DoModal() != IDOK)
        return 0;
    // A directory, a pipe or a device ends the import as an unreadable file does.
    QFile file(dialog.GetPathName());
    if (!OpenRegularFileForReading(file))
        return 0;
    QByteArray lines;
    for (int i = 0; i < kPointLines && !file.atEnd(); ++i)
        lines += file.readLine();
    file.close();

    // The parser writes the members only when it read both lines, so a
    // shorter file changes nothing.
    std::istringstream in(std::string(lines.constData(), static_cast<std::size_t>(lines.size())));
    if (ReadMagicMapsPoints(in, m_nHemisphere, m_dDegree) < kPointLines)
        return 0;

    // The numbers count in the datum the user has chosen.
    m_converter.DegreesToWgs84(m_nHemisphere, m_dDegree);
    Wgs84ToEntry();
    // Imported points are a change like typed ones: "Close" saves them.
    m_bModified = true;

    if (m_strMapName.isEmpty())
    {
        const std::string title(FileTitle(dialog.GetFileName().toStdString()));
        m_strMapName = QString::fromStdString(title);
    }
    if (m_strBmpFileName.isEmpty())
        m_strBmpFileName = m_strMapName + QStringLiteral(".bmp");

    show();
    UpdateData(false);
    return 0;
}
