#include "calibration/xml_text.h"

#include <libxml/xmlwriter.h>

namespace calibration
{

namespace
{

const xmlChar* Name(const char* name)
{
    return reinterpret_cast<const xmlChar*>(name);
}

// Control characters other than tab and line ends are not allowed in XML
// 1.0 documents; a name read from another file may hold them.
std::string Allowed(std::string_view text)
{
    std::string allowed(text);
    for (char& c : allowed)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
            c = '?';
    return allowed;
}

} // namespace

struct CXmlText::Impl
{
    xmlBufferPtr buffer = nullptr;
    xmlTextWriterPtr writer = nullptr;
    bool bFailed = false;

    void Check(int result)
    {
        if (result < 0)
            bFailed = true;
    }
};

CXmlText::CXmlText() : m_pImpl(std::make_unique<Impl>())
{
    m_pImpl->buffer = xmlBufferCreate();
    m_pImpl->writer = m_pImpl->buffer != nullptr ? xmlNewTextWriterMemory(m_pImpl->buffer, 0) : nullptr;
    if (m_pImpl->writer == nullptr)
    {
        m_pImpl->bFailed = true;
        return;
    }
    m_pImpl->Check(xmlTextWriterSetIndent(m_pImpl->writer, 1));
    m_pImpl->Check(xmlTextWriterSetIndentString(m_pImpl->writer, Name("  ")));
    m_pImpl->Check(xmlTextWriterStartDocument(m_pImpl->writer, "1.0", "UTF-8", nullptr));
}

CXmlText::~CXmlText()
{
    if (m_pImpl->writer != nullptr)
        xmlFreeTextWriter(m_pImpl->writer);
    if (m_pImpl->buffer != nullptr)
        xmlBufferFree(m_pImpl->buffer);
}

void CXmlText::Start(const char* name)
{
    if (!m_pImpl->bFailed)
        m_pImpl->Check(xmlTextWriterStartElement(m_pImpl->writer, Name(name)));
}

void CXmlText::Attribute(const char* name, std::string_view value)
{
    if (!m_pImpl->bFailed)
        m_pImpl->Check(xmlTextWriterWriteAttribute(m_pImpl->writer, Name(name), Name(Allowed(value).c_str())));
}

void CXmlText::Element(const char* name, std::string_view text)
{
    if (!m_pImpl->bFailed)
        m_pImpl->Check(xmlTextWriterWriteElement(m_pImpl->writer, Name(name), Name(Allowed(text).c_str())));
}

void CXmlText::End()
{
    if (!m_pImpl->bFailed)
        m_pImpl->Check(xmlTextWriterEndElement(m_pImpl->writer));
}

std::optional<std::string> CXmlText::Finish()
{
    if (m_pImpl->bFailed)
        return std::nullopt;
    m_pImpl->Check(xmlTextWriterEndDocument(m_pImpl->writer));
    m_pImpl->Check(xmlTextWriterFlush(m_pImpl->writer));
    if (m_pImpl->bFailed)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(xmlBufferContent(m_pImpl->buffer)),
                       static_cast<std::size_t>(xmlBufferLength(m_pImpl->buffer)));
}

} // namespace calibration
