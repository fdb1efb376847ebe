#pragma once
// The files the monkey loads, imports, chooses as maps and saves over: valid
// ones, broken ones of every kind, empty and missing ones, a directory with
// a file's name.

#include <QString>
#include <QStringList>

/// Names relative to the monkey's directory, one list per file dialog.
struct MonkeyFiles
{
    QStringList load; ///< .CAL files to load
    QStringList save; ///< where Save may write ("harbour" without extension, a missing directory, a directory)
    QStringList bmp;  ///< maps
    QStringList txt;  ///< MagicMaps exports
};

/// Writes the files into `directory` with copies of the help files from
/// `helpDir`; false when one could not be written.
bool WriteMonkeyFiles(const QString& directory, const QString& helpDir, MonkeyFiles& files);
