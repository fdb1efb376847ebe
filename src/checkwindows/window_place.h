#pragma once
// Where the calibration's tool windows (the report, the fit) open: beside
// the reference dialog so that neither covers the other, or, with the
// dialog hidden (the map in front), at the screen's top right, away from
// the map's top-left corner that shows first.

class QWidget;

/// Moves `window` right of `dialog`, else left of it, else to the screen's
/// right edge over the dialog's right part; to the screen's top right while
/// `dialog` is hidden.
void PlaceBesideDialog(QWidget& window, const QWidget& dialog);
