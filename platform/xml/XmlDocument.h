// XmlDocument: the device's XML document service. Every XML file of the
// program (contact-list cache, skin, icon and smiley sets, home-screen
// schemes, provisioning documents) is read and written through it.
//
// Loading is always synchronous: a load returns once the document is
// complete or has failed. A failed load leaves the document empty. The
// document never throws for bad input; the only exceptions that leave it
// are those of a failed allocation.
//
// Entities other than the five predefined ones and character references are
// not expanded, so a document cannot grow beyond its own text when parsed.
//
// Text written by the program reads back unchanged, carriage returns
// included: line ends in text are not normalised on reading.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/xml/XmlNode.h"

namespace platform::xml {

// Outcome of a load: converts to true on success, and describes a failure.
class LoadResult {
public:
    LoadResult() = default;
    static LoadResult Success() { return LoadResult(true, "no error"); }
    static LoadResult Failure(std::string description) { return LoadResult(false, std::move(description)); }

    explicit operator bool() const { return m_ok; }
    const std::string& Description() const { return m_description; }

private:
    LoadResult(bool ok, std::string description) : m_ok(ok), m_description(std::move(description)) {}
    bool m_ok = false;
    std::string m_description = "not loaded";
};

class XmlDocument {
public:
    // Largest file LoadFile reads; anything larger is refused unread.
    static constexpr std::size_t kMaxFileBytes = 64u << 20;

    XmlDocument() = default;
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Parses a file (UTF-8, or UTF-16 / UTF-32 with a byte-order mark); the
    // path is in the device's file-name encoding. Fails for a missing,
    // unreadable, oversized or ill-formed file.
    LoadResult LoadFile(const WideString& path);
    // Parses text in memory. The text ends at its first zero character, as
    // a zero-terminated string would.
    LoadResult LoadText(std::u16string_view text);

    // The document node: parent of the document element. Append the first
    // element to it to make a document element.
    XmlNode Node() const { return XmlNode(m_document); }
    // The root element, or null.
    XmlNode DocumentElement() const;
    // A new element that belongs to this document but to no parent yet;
    // place it with AppendChild or InsertBefore. Null for an empty name.
    XmlNode CreateElement(std::u16string_view name);
    // SelectSingleNode from the document node (absolute and relative paths
    // both start there).
    XmlNode SelectSingleNode(std::u16string_view path) const { return Node().SelectSingleNode(path); }

    // The serialisation without an XML declaration and without added white
    // space. Nodes not placed in the tree are not part of it.
    WideString ToText() const;
    // Writes the document as UTF-8 with a declaration, indented, replacing
    // the file as a whole (a failure leaves the old file untouched).
    bool Save(const WideString& path) const;

private:
    LoadResult Parse(const void* data, std::size_t size, pugi::xml_encoding encoding);
    std::string Serialise(unsigned int flags) const;

    pugi::xml_document m_document;
    pugi::xml_node m_detached;  // holder of created, unplaced nodes (lazily made)
};

}  // namespace platform::xml
