#pragma once
// The program's entries in the user's profile (CWinApp's GetProfile... and
// WriteProfile...). Profiles written by earlier versions are read with these
// names, so they never change.

/// The one section every entry stands in.
inline constexpr char kSettingsSection[] = "Settings";

// The reference dialog's entries: read when it starts, written at every
// successful Save.
/// The folder where every file dialog opens, with its trailing separator.
inline constexpr char kEntryCalDir[] = "CalDir";
/// The hemisphere flags of point [p]: [p][0] the longitude's (0 east,
/// 1 west), [p][1] the latitude's (0 north, 1 south).
inline constexpr const char* kEntryHemisphere[2][2] = {{"Longitude1", "Latitude1"}, {"Longitude2", "Latitude2"}};
/// The whole degrees of point [p]: [p][0] longitude, [p][1] latitude.
inline constexpr const char* kEntryWholeDegrees[2][2] = {{"LongDegree1", "LatDegree1"}, {"LongDegree2", "LatDegree2"}};

// The error window's last screen position, pixels.
inline constexpr char kEntryErrorWindowX[] = "ErrorWindowX";
inline constexpr char kEntryErrorWindowY[] = "ErrorWindowY";

/// The language (0 German, 1 English), which is also the help file's.
inline constexpr char kEntryHelpFile[] = "HelpFile";
/// The path of the language's help file.
inline constexpr char kEntryHelpFilePath[] = "HelpFilePath";

/// Whether the map shows the calibration's grid (0 no, 1 yes); written at
/// every toggle.
inline constexpr char kEntryGrid[] = "Grid";
