#include "platform/win/LinkProtocol.h"

namespace platform::win::link {
namespace {

class Writer {
public:
    void U32(std::uint32_t v) { Put(v, 4); }
    void U64(std::uint64_t v) { Put(v, 8); }
    void Bytes(std::span<const BYTE> bytes) { m_out.insert(m_out.end(), bytes.begin(), bytes.end()); }
    void Name(const WideString& name)
    {
        U32(static_cast<std::uint32_t>(name.size()));
        for (char16_t c : name)
            Put(c, 2);
    }
    std::vector<BYTE>& Out() { return m_out; }

private:
    void Put(std::uint64_t v, int size)
    {
        for (int i = 0; i < size; ++i)
            m_out.push_back(static_cast<BYTE>(v >> (8 * i)));
    }
    std::vector<BYTE> m_out;
};

// Reads within the span; any read past the end fails and stays failed.
class Reader {
public:
    explicit Reader(std::span<const BYTE> bytes) : m_bytes(bytes) {}

    bool U32(std::uint32_t& v) { return Get(v, 4); }
    bool U64(std::uint64_t& v) { return Get(v, 8); }
    bool I64(std::int64_t& v)
    {
        std::uint64_t raw = 0;
        bool ok = Get(raw, 8);
        v = static_cast<std::int64_t>(raw);
        return ok;
    }
    bool Bytes(std::size_t count, std::vector<BYTE>& out)
    {
        if (!m_ok || count > Remaining())
            return m_ok = false;
        out.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos),
                   m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos + count));
        m_pos += count;
        return true;
    }
    bool Name(WideString& out)
    {
        std::uint32_t count = 0;
        if (!U32(count) || count > kMaxName || count * 2u > Remaining())
            return m_ok = false;
        out.resize(count);
        for (auto& c : out) {
            std::uint64_t v = 0;
            Get(v, 2);
            c = static_cast<char16_t>(v);
        }
        return m_ok;
    }
    bool AtEnd() const { return m_ok && m_pos == m_bytes.size(); }
    std::size_t Remaining() const { return m_bytes.size() - m_pos; }

private:
    template <typename T>
    bool Get(T& v, std::size_t size)
    {
        if (!m_ok || size > Remaining())
            return m_ok = false;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= static_cast<std::uint64_t>(m_bytes[m_pos + i]) << (8 * i);
        m_pos += size;
        v = static_cast<T>(value);
        return true;
    }

    std::span<const BYTE> m_bytes;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

bool KnownKind(std::uint32_t kind) { return kind >= 1 && kind <= 6; }

}  // namespace

std::vector<BYTE> EncodeRequest(const Request& request)
{
    Writer body;
    switch (request.kind) {
    case Kind::Find:
        body.U32((request.className ? 1u : 0u) | (request.windowName ? 2u : 0u));
        body.Name(request.className.value_or(WideString()));
        body.Name(request.windowName.value_or(WideString()));
        break;
    case Kind::Post:
    case Kind::Send:
        body.U64(request.window);
        body.U32(request.message);
        body.U64(request.wParam);
        body.U64(static_cast<std::uint64_t>(request.lParam));
        break;
    case Kind::CopyData:
        body.U64(request.window);
        body.U64(request.wParam);
        body.U64(request.dwData);
        body.U32(static_cast<std::uint32_t>(request.payload.size()));
        body.Bytes(request.payload);
        break;
    case Kind::Foreground:
    case Kind::IsWindow:
        body.U64(request.window);
        break;
    }
    Writer frame;
    frame.U32(kMagic);
    frame.U32(static_cast<std::uint32_t>(request.kind));
    frame.U32(static_cast<std::uint32_t>(body.Out().size()));
    frame.Bytes(body.Out());
    return std::move(frame.Out());
}

std::optional<Header> DecodeHeader(std::span<const BYTE> bytes)
{
    Reader reader(bytes);
    std::uint32_t magic = 0;
    std::uint32_t kind = 0;
    std::uint32_t length = 0;
    if (!reader.U32(magic) || !reader.U32(kind) || !reader.U32(length) || !reader.AtEnd())
        return std::nullopt;
    if (magic != kMagic || !KnownKind(kind) || length > kMaxBody)
        return std::nullopt;
    return Header{static_cast<Kind>(kind), length};
}

std::optional<Request> DecodeBody(Kind kind, std::span<const BYTE> body)
{
    Reader reader(body);
    Request request;
    request.kind = kind;
    bool ok = false;
    switch (kind) {
    case Kind::Find: {
        std::uint32_t flags = 0;
        WideString className;
        WideString windowName;
        ok = reader.U32(flags) && flags <= 3 && reader.Name(className) && reader.Name(windowName);
        if ((flags & 1) != 0)
            request.className = std::move(className);
        if ((flags & 2) != 0)
            request.windowName = std::move(windowName);
        break;
    }
    case Kind::Post:
    case Kind::Send:
        ok = reader.U64(request.window) && reader.U32(request.message) && reader.U64(request.wParam) &&
             reader.I64(request.lParam);
        break;
    case Kind::CopyData: {
        std::uint32_t size = 0;
        ok = reader.U64(request.window) && reader.U64(request.wParam) && reader.U64(request.dwData) &&
             reader.U32(size) && size <= kMaxPayload && reader.Bytes(size, request.payload);
        break;
    }
    case Kind::Foreground:
    case Kind::IsWindow:
        ok = reader.U64(request.window);
        break;
    }
    if (!ok || !reader.AtEnd())
        return std::nullopt;
    return request;
}

std::vector<BYTE> EncodeReply(const Reply& reply)
{
    Writer writer;
    writer.U32(kMagic);
    writer.U32(static_cast<std::uint32_t>(reply.status));
    writer.U64(static_cast<std::uint64_t>(reply.result));
    return std::move(writer.Out());
}

std::optional<Reply> DecodeReply(std::span<const BYTE> bytes)
{
    Reader reader(bytes);
    std::uint32_t magic = 0;
    std::uint32_t status = 0;
    Reply reply;
    if (!reader.U32(magic) || !reader.U32(status) || !reader.I64(reply.result) || !reader.AtEnd() ||
        magic != kMagic || status > static_cast<std::uint32_t>(Status::Failed))
        return std::nullopt;
    reply.status = static_cast<Status>(status);
    return reply;
}

}  // namespace platform::win::link
