#include "support/gif_writer.h"

namespace
{

void Put16(std::vector<std::uint8_t>& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// LZW codes of 9 bits (minimum code size 8), least significant bit first.
class CBitWriter
{
public:
    void Put(unsigned code)
    {
        m_nBits |= code << m_nCount;
        m_nCount += 9;
        while (m_nCount >= 8)
        {
            m_bytes.push_back(static_cast<std::uint8_t>(m_nBits & 0xFF));
            m_nBits >>= 8;
            m_nCount -= 8;
        }
    }
    std::vector<std::uint8_t> Finish()
    {
        if (m_nCount > 0)
            m_bytes.push_back(static_cast<std::uint8_t>(m_nBits & 0xFF));
        return m_bytes;
    }

private:
    std::vector<std::uint8_t> m_bytes;
    unsigned m_nBits = 0;
    int m_nCount = 0;
};

} // namespace

std::vector<std::uint8_t> MakeGif(int width, int height, const std::vector<BmpColour>& palette,
                                  const std::function<int(int x, int y)>& pixel, bool frames)
{
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(out, width);
    Put16(out, height);
    out.insert(out.end(), {0xF7, 0, 0}); // global table of 2^8 entries, 8 bits a channel
    for (std::size_t i = 0; i < 256; ++i)
    {
        const BmpColour c = i < palette.size() ? palette[i] : BmpColour{};
        out.insert(out.end(), {c.r, c.g, c.b});
    }
    if (!frames)
        return out;
    out.push_back(0x2C); // image descriptor: whole screen, no local table
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(0);
    out.push_back(8); // minimum code size
    constexpr unsigned kClear = 256;
    constexpr unsigned kEnd = 257;
    CBitWriter codes;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            codes.Put(kClear);
            codes.Put(static_cast<unsigned>(pixel(x, y)) & 0xFF);
        }
    codes.Put(kEnd);
    const std::vector<std::uint8_t> data = codes.Finish();
    for (std::size_t i = 0; i < data.size(); i += 255)
    {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                   data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);    // end of the image's blocks
    out.push_back(0x3B); // trailer
    return out;
}
