#include "resources/strings.h"

#include <algorithm>
#include <iterator>

#include "resources/resource.h"

namespace
{

struct StringEntry
{
    int id;
    const char* text;
};

// Sorted by id.
constexpr StringEntry kStrings[] = {
    // Document template: window title, document name, new-file name, filter
    // name and extension (none), file type id, file type name.
    {IDR_MAINFRAME, "Kartora\n\nKartora\n\n\nKartora.Document\nKartora Document"},
    {ID_EXPORT_CALIBRATION,
     "Write the calibration for other map programs: world file, OziExplorer .map, KML, KMZ or GPX\nExport "
     "calibration"},
    {ID_IMPORT_CALIBRATION,
     "Start the calibration from a world file, an OziExplorer .map file, KML or KMZ\nImport calibration"},
    {ID_CHECK_CALIBRATION, "Report the calibration's figures and what looks wrong in it\nCheck calibration"},
    {ID_GRID, "Show or hide the lines of longitude and latitude of the calibration\nGrid"},
    {ID_ADD_FIT_POINT, "Add a known point here to fit the calibration to many points\nAdd fit point here"},
    {AFX_IDS_APP_TITLE, "Kartora"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {AFX_IDS_HELPMODEMESSAGE, "Select the Object for Help"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_HELP_INDEX, "Open.\nHelp"},
    {ID_HELP_FINDER, "List Help Titels.\nHelp Titel"},
    {ID_HELP_USING, "Show commands for working with help"},
    {ID_CONTEXT_HELP, "Shows help for selected button, menus, and windows.\nHelp"},
    {ID_HELP, "Shows help for the current operation or command. \nHelp"},
    {ID_INDICATOR_EXT, "EXT"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {ID_INDICATOR_OVR, "OVR"},
    {ID_INDICATOR_REC, "REC"},
    {AFX_IDS_SCSIZE, "Change the window size"},
    {AFX_IDS_SCMOVE, "Change the window position"},
    {AFX_IDS_SCMINIMIZE, "Reduce the window to an icon"},
    {AFX_IDS_SCMAXIMIZE, "Enlarge the window to full size"},
    {AFX_IDS_SCNEXTWINDOW, "Switch to the next document window"},
    {AFX_IDS_SCPREVWINDOW, "Switch to the previous document window"},
    {AFX_IDS_SCCLOSE, "Close the active window and prompts to save the documents"},
    {AFX_IDS_SCRESTORE, "Restore the window to normal size"},
    {AFX_IDS_SCTASKLIST, "Activate Task List"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; }),
              "the string table is searched by bisection");

} // namespace

const char* LoadResourceString(int id)
{
    const auto* it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                      [](const StringEntry& entry, int key) { return entry.id < key; });
    return it != std::end(kStrings) && it->id == id ? it->text : nullptr;
}
