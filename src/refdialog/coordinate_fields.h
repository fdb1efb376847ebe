#pragma once
// The coordinate fields as every dialog that asks for a position has them:
// the reference dialog and the known-position dialog share their controls
// (the same ids), their place in each entry format, their captions in both
// languages and the checks of what is typed into them.

#include <QPoint>
#include <QString>

#include <cstdint>

#include "conversion/entry_fields.h"

class CCoordConverter;
class CDataExchange;
class CDialog;

/// Places the coordinate controls of `dialog` for `format` as
/// g_controlLayout says, moved by `shift` pixels, and shows or hides them.
void PlaceCoordinateControls(CDialog& dialog, std::int32_t format, QPoint shift = {});

/// Puts the entry controls of `dialog` into the order of g_entryTabOrder
/// (the zone before the northing); controls it lacks are left out.
void RestoreEntryTabOrder(CDialog& dialog);

/// Condenses the font of each label of `dialog` whose text is wider than
/// the label (German "Rechtswert" in its UTM place), rather than cut it.
void FitLabelTexts(CDialog& dialog);

/// The captions of the coordinate labels (and of Cancel) of `dialog` in the
/// language, from g_languageTexts.
void SetCoordinateLabelTexts(CDialog& dialog, bool bEnglish);

/// The captions of the hemisphere buttons: "E" ("O" in German) or "W" for
/// any flag but 0, "N" or "S".
QString LongitudeSignText(std::int32_t flag, bool bEnglish);
QString LatitudeSignText(std::int32_t flag);

/// The coordinate fields of `format` <-> point `point` of `fields`, with the
/// reference dialog's checks: a failure shows in the converter's error
/// window and abandons the exchange at that field.
void DDX_Coordinates(CCoordConverter& converter, CDataExchange* pDX, std::int32_t format,
                     const conversion::EntryFields& fields, int point);
