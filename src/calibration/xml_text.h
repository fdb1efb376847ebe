#pragma once
// Writing the XML files (KML, GPX) through libxml2's text writer: UTF-8,
// indented, every text and attribute escaped by the library.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace calibration
{

class CXmlText
{
public:
    /// Starts the document: the XML declaration (version 1.0, UTF-8).
    CXmlText();
    ~CXmlText();
    CXmlText(const CXmlText&) = delete;
    CXmlText& operator=(const CXmlText&) = delete;

    void Start(const char* name);
    void Attribute(const char* name, std::string_view value);
    /// <name>text</name>
    void Element(const char* name, std::string_view text);
    void End();
    /// The document with every element closed; nothing when a step failed.
    std::optional<std::string> Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

} // namespace calibration
