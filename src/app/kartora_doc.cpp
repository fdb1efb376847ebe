#include "app/kartora_doc.h"

#include <QFileInfo>

bool CKartoraDoc::OnNewDocument()
{
    // The document string has no document name, so the framework's
    // default title applies.
    m_strPathName.clear();
    m_strTitle = QStringLiteral("Untitled");
    return true;
}

bool CKartoraDoc::OnOpenDocument(const QString& path)
{
    m_strPathName = QFileInfo(path).absoluteFilePath();
    const QString name = QFileInfo(path).fileName();
    m_strTitle = name.isEmpty() ? path : name;
    return true;
}
