#include "tools/oscar-server/MessageText.h"

#include <algorithm>

namespace oscarserver {
namespace {

// Trailing zeros are a terminator, not text.
void StoreText(ByteView bytes, MessageText& out)
{
    while (!bytes.empty() && bytes.back() == 0)
        bytes = bytes.first(bytes.size() - 1);
    out.text.assign(bytes.begin(), bytes.end());
}

}  // namespace

bool ReadChannel1Text(ByteView item0002, MessageText& out)
{
    Reader reader(item0002);
    while (!reader.AtEnd()) {
        std::uint8_t id = 0;
        std::uint8_t version = 0;
        std::uint16_t length = 0;
        ByteView value;
        if (!reader.U8(id) || !reader.U8(version) || !reader.U16(length) || !reader.Take(length, value))
            return false;
        if (id != 0x01)
            continue;
        Reader text(value);
        std::uint16_t subset = 0;
        if (!text.U16(out.charset) || !text.U16(subset))
            return false;
        out.type = 1;
        out.flags = 0;
        out.text.assign(text.Rest().begin(), text.Rest().end());
        return true;
    }
    return false;
}

bool ReadChannel2Text(ByteView item0005, MessageText& out)
{
    Reader reader(item0005);
    std::uint16_t kind = 0;
    std::vector<Tlv> items;
    if (!reader.U16(kind) || !reader.Skip(8 + 16) || !ReadTlvs(reader, items))
        return false;
    const Tlv* message = FindTlv(items, 0x2711);
    if (message == nullptr)
        return false;
    Reader inner(message->value);
    std::uint16_t length = 0;
    std::uint16_t status = 0;
    std::uint16_t priority = 0;
    ByteView text;
    if (!inner.U16LE(length) || !inner.Skip(length) || !inner.U16LE(length) || !inner.Skip(length) ||
        !inner.U8(out.type) || !inner.U8(out.flags) || !inner.U16LE(status) || !inner.U16LE(priority) ||
        !inner.U16LE(length) || !inner.Take(length, text))
        return false;
    out.charset = 0;
    StoreText(text, out);
    return true;
}

bool ReadChannel4Text(ByteView item0005, MessageText& out)
{
    Reader reader(item0005);
    std::uint32_t sender = 0;
    std::uint16_t length = 0;
    ByteView text;
    if (!reader.U32LE(sender) || !reader.U8(out.type) || !reader.U8(out.flags) || !reader.U16LE(length) ||
        !reader.Take(length, text))
        return false;
    out.charset = 0;
    StoreText(text, out);
    return true;
}

namespace {

void AppendUtf8(Bytes& out, std::uint32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<std::uint8_t>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<std::uint8_t>(0xC0 | (code >> 6)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<std::uint8_t>(0xE0 | (code >> 12)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<std::uint8_t>(0xF0 | (code >> 18)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (code & 0x3F)));
    }
}

constexpr std::uint32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

Bytes Utf16BeToUtf8(ByteView text)
{
    Bytes out;
    out.reserve(text.size() * 3 / 2);
    const std::size_t units = text.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = std::uint32_t{text[2 * i]} << 8 | text[2 * i + 1];
        if (IsHighSurrogate(unit) && i + 1 < units) {
            const std::uint32_t low = std::uint32_t{text[2 * i + 2]} << 8 | text[2 * i + 3];
            if (IsLowSurrogate(low)) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit);
    }
    if (text.size() % 2 != 0)
        AppendUtf8(out, kReplacement);
    return out;
}

Bytes Channel1Item(const MessageText& text)
{
    const ByteView body = ByteView(text.text).first(std::min<std::size_t>(text.text.size(), 0xFF00));
    Writer item;
    item.U8(0x05).U8(0x01).U16(1).U8(0x01);
    item.U8(0x01).U8(0x01).U16(static_cast<std::uint16_t>(body.size() + 4)).U16(text.charset).U16(0);
    item.Append(body);
    return item.Take();
}

}  // namespace oscarserver
