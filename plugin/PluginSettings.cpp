#include "plugin/PluginSettings.h"

#include <algorithm>

#include "plugin/LittleEndian.h"

namespace plugin {

namespace {

void PutInt32(std::vector<BYTE>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<BYTE>(value >> shift));
}

void PutText(std::vector<BYTE>& out, const WideString& text)
{
    std::size_t count = std::min(text.size(), kMaxFieldText);
    PutInt32(out, static_cast<std::uint32_t>(count * 2));
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(static_cast<BYTE>(text[i] & 0xFF));
        out.push_back(static_cast<BYTE>(text[i] >> 8));
    }
}

class RecordReader {
public:
    explicit RecordReader(std::span<const BYTE> bytes) : m_bytes(bytes) {}

    bool Int32(std::int32_t& value) { return (m_ok && ReadInt32(m_bytes, m_offset, value)) || Fail(); }
    bool Int32(std::uint32_t& value)
    {
        std::int32_t signedValue = 0;
        if (!Int32(signedValue))
            return false;
        value = static_cast<std::uint32_t>(signedValue);
        return true;
    }
    bool Byte(bool& value)
    {
        if (Left() < 1)
            return Fail();
        value = m_bytes[m_offset++] != 0;
        return true;
    }
    // The text keeps `fallback` for a length of 0 or less.
    bool Text(WideString& text, const WCHAR* fallback)
    {
        std::int32_t length = 0;
        if (!Int32(length))
            return false;
        if (length <= 0) {
            text = fallback;
            return true;
        }
        std::size_t bytes = static_cast<std::size_t>(length);
        if (Left() < bytes)
            return Fail();
        std::size_t count = std::min(bytes / 2, kMaxFieldText);
        text.clear();
        for (std::size_t i = 0; i < count; ++i)
            text.push_back(CharacterAt(m_bytes, m_offset + 2 * i));
        m_offset += bytes;
        if (text.empty())  // a single byte holds no character
            text = fallback;
        return true;
    }
    bool Ok() const { return m_ok; }

private:
    std::size_t Left() const { return m_ok ? m_bytes.size() - m_offset : 0; }
    bool Fail()
    {
        m_ok = false;
        return false;
    }

    std::span<const BYTE> m_bytes;
    std::size_t m_offset = 0;
    bool m_ok = true;
};

}  // namespace

std::vector<BYTE> EncodeRecord(const PluginSettings& s)
{
    std::vector<BYTE> out;
    PutInt32(out, s.pluginHandle);
    PutInt32(out, static_cast<std::uint32_t>(s.height));
    out.push_back(s.autoHeight ? 1 : 0);
    PutInt32(out, static_cast<std::uint32_t>(s.borderMode));
    PutText(out, s.fontFace);
    PutInt32(out, static_cast<std::uint32_t>(s.fontSize));
    PutText(out, s.fontWeight);
    PutInt32(out, static_cast<std::uint32_t>(s.paddingLeft));
    PutInt32(out, static_cast<std::uint32_t>(s.paddingTop));
    PutText(out, s.background);
    PutText(out, s.textColour);
    PutText(out, s.selectedBackground);
    PutText(out, s.selectedText);
    PutText(out, s.borderColour);
    PutInt32(out, static_cast<std::uint32_t>(s.borderWidth));
    return out;
}

DecodedRecord DecodeRecord(std::span<const BYTE> bytes)
{
    DecodedRecord record;
    PluginSettings& s = record.settings;
    RecordReader in(bytes);
    // Each step runs only while the ones before succeeded.
    record.complete = in.Int32(s.pluginHandle) && in.Int32(s.height) && in.Byte(s.autoHeight) &&
                      in.Int32(s.borderMode) && in.Text(s.fontFace, u"") && in.Int32(s.fontSize) &&
                      in.Text(s.fontWeight, kDefaultFontWeight) && in.Int32(s.paddingLeft) &&
                      in.Int32(s.paddingTop) && in.Text(s.background, kDefaultBackground) &&
                      in.Text(s.textColour, kDefaultText) && in.Text(s.selectedBackground, kDefaultSelectedBackground) &&
                      in.Text(s.selectedText, kDefaultSelectedText) && in.Text(s.borderColour, kDefaultBorder) &&
                      in.Int32(s.borderWidth);
    return record;
}

}  // namespace plugin
