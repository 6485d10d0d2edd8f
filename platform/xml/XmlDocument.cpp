#include "platform/xml/XmlDocument.h"

#include "platform/base/WideString.h"
#include "platform/file/File.h"

namespace platform::xml {
namespace {

// Comments and processing instructions are kept as nodes, so that they
// count as children and survive a load and save; white space between
// elements is dropped. Line ends in text are kept as written: the writer
// puts a carriage return into text as it is, so normalising them on reading
// would turn a stored "\r\n" into "\n".
constexpr unsigned int kParseFlags =
    (pugi::parse_default & ~pugi::parse_eol) | pugi::parse_comments | pugi::parse_pi;

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : m_out(out) {}
    void write(const void* data, std::size_t size) override { m_out.append(static_cast<const char*>(data), size); }

private:
    std::string& m_out;
};

// The parser accepts several top-level elements and stray text beside
// them; a document has exactly one element and only markup around it.
bool HasOneDocumentElement(const pugi::xml_document& document)
{
    int elements = 0;
    for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            ++elements;
        else if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            return false;
    }
    return elements == 1;
}

}  // namespace

LoadResult XmlDocument::Parse(const void* data, std::size_t size, pugi::xml_encoding encoding)
{
    m_detached = pugi::xml_node();
    pugi::xml_parse_result parsed = m_document.load_buffer(data, size, kParseFlags, encoding);
    if (!parsed) {
        m_document.reset();
        return LoadResult::Failure(std::string(parsed.description()) + " at offset " +
                                   std::to_string(parsed.offset));
    }
    if (!HasOneDocumentElement(m_document)) {
        m_document.reset();
        return LoadResult::Failure("not exactly one document element");
    }
    return LoadResult::Success();
}

LoadResult XmlDocument::LoadFile(const WideString& path)
{
    m_detached = pugi::xml_node();
    m_document.reset();
    std::string bytes;
    DWORD error = ERROR_SUCCESS;
    if (!ReadWholeFile(WideToUtf8(path), FileShare::Read, bytes, kMaxFileBytes + 1, &error))
        return LoadResult::Failure(error == ERROR_FILE_NOT_FOUND ? "file not found" : "file cannot be opened");
    if (bytes.size() > kMaxFileBytes)
        return LoadResult::Failure("file too large");
    return Parse(bytes.data(), bytes.size(), pugi::encoding_auto);
}

LoadResult XmlDocument::LoadText(std::u16string_view text)
{
    if (std::size_t end = text.find(u'\0'); end != std::u16string_view::npos)
        text = text.substr(0, end);
    std::string utf8 = WideToUtf8(text);
    return Parse(utf8.data(), utf8.size(), pugi::encoding_utf8);
}

XmlNode XmlDocument::DocumentElement() const
{
    for (XmlNode child = Node().FirstChild(); child; child = child.NextSibling()) {
        if (child.Kind() == NodeKind::Element)
            return child;
    }
    return {};
}

XmlNode XmlDocument::CreateElement(std::u16string_view name)
{
    if (name.empty())
        return {};
    if (!m_detached)
        m_detached = m_document.append_child(kDetachedHolderName);
    return XmlNode(m_detached.append_child(WideToUtf8(name).c_str()));
}

std::string XmlDocument::Serialise(unsigned int flags) const
{
    std::string out;
    StringWriter writer(out);
    for (pugi::xml_node child = m_document.first_child(); child; child = child.next_sibling()) {
        if (child != m_detached)
            child.print(writer, "\t", flags, pugi::encoding_utf8);
    }
    return out;
}

WideString XmlDocument::ToText() const
{
    return Utf8ToWide(Serialise(pugi::format_raw | pugi::format_no_declaration));
}

bool XmlDocument::Save(const WideString& path) const
{
    std::string bytes = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + Serialise(pugi::format_indent);
    return ReplaceFileContents(WideToUtf8(path), bytes.data(), bytes.size());
}

}  // namespace platform::xml
