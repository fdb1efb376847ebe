#pragma once
// CKartoraDoc: the document of the single-document frame. Kartora's data live
// in the reference dialog, so the document holds nothing: it only has the
// name that the frame's caption shows, it reads and writes no file, and it is
// never modified, so closing the frame asks nothing.

#include <QString>

class CKartoraDoc final
{
public:
    /// A new, unnamed document ("Untitled").
    bool OnNewDocument();
    /// Names the document after `path` (its file name becomes the title).
    /// The file is neither opened nor required to exist.
    bool OnOpenDocument(const QString& path);

    QString GetPathName() const { return m_strPathName; }
    QString GetTitle() const { return m_strTitle; }
    bool IsModified() const { return false; }

private:
    QString m_strPathName;
    QString m_strTitle;
};
