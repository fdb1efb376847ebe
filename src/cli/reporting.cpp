#include "cli/reporting.h"

#include <cerrno>
#include <ostream>
#include <system_error>

#include "cli/cli_texts.h"

namespace cli
{

namespace
{

constexpr const char* kProgram = "kartora-cli: ";

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character at the start of `text` that
// a terminal shows as it is (no C1 control), or 0.
std::size_t PrintableCharacterLength(std::string_view text)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead >= 0x20 && lead < 0x7F)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;  // the range of the second byte, narrowed for
    unsigned char high = 0xBF; // overlong forms, surrogates and beyond U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
    {
        if (!IsContinuation(byte(i)))
            return 0;
    }
    // U+0080 to U+009F, the C1 controls (0xC2 0x80 to 0xC2 0x9F)
    if (lead == 0xC2 && byte(1) <= 0x9F)
        return 0;
    return length;
}

void ReportOutputFailure(std::ostream& err, int error)
{
    const std::string reason = error != 0 ? std::generic_category().message(error) : std::string();
    Report(err, CliText(TXT_STANDARD_OUTPUT), CliText(TXT_CANNOT_WRITE, reason));
}

} // namespace

std::string Shown(std::string_view text, std::size_t maxBytes)
{
    const bool bShortened = maxBytes != 0 && text.size() > maxBytes;
    if (bShortened)
    {
        std::size_t cut = maxBytes;
        while (cut > 0 && IsContinuation(static_cast<unsigned char>(text[cut])))
            --cut;
        text = text.substr(0, cut);
    }
    std::string shown;
    while (!text.empty())
    {
        const std::size_t length = PrintableCharacterLength(text);
        if (length > 0)
        {
            shown.append(text.substr(0, length));
            text.remove_prefix(length);
            continue;
        }
        static constexpr char kHex[] = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(text.front());
        if (byte == '\t')
            shown += "\\t";
        else if (byte == '\r')
            shown += "\\r";
        else if (byte == '\n')
            shown += "\\n";
        else
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        text.remove_prefix(1);
    }
    if (bShortened)
        shown += "...";
    return shown;
}

void Report(std::ostream& err, std::string_view subject, std::string_view message)
{
    err << kProgram << Shown(subject) << ": " << message << '\n';
}

bool Emit(std::ostream& out, std::ostream& err, std::string_view text)
{
    // The reason is the failed write's: taken before anything else runs.
    errno = 0;
    out << text;
    if (out)
        return true;
    ReportOutputFailure(err, errno);
    return false;
}

bool FlushOutput(std::ostream& out, std::ostream& err)
{
    if (!out)
        return false;
    errno = 0;
    if (out.flush())
        return true;
    ReportOutputFailure(err, errno);
    return false;
}

} // namespace cli
