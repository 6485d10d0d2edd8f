// XmlNode: a handle to one node of an XmlDocument (element, text, attribute,
// ...). Handles are cheap values; a null handle is safe to use everywhere
// and answers with empty results, so readers can chain look-ups and state
// their defaults instead of checking every step. A handle is valid while its
// document lives and the node is neither removed nor the document reloaded.
//
// Names and text are UTF-16 (WideString) at this interface; the document
// keeps UTF-8 inside.
#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace platform::xml {

enum class NodeKind {
    None,       // the null handle
    Document,   // the document itself, parent of the document element
    Element,
    Text,       // plain character data
    CData,      // a CDATA section
    Attribute,  // only from a path that ends in an attribute step
    Other,      // comment, processing instruction
};

class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(pugi::xml_node node) : m_node(node) {}
    XmlNode(pugi::xml_node owner, pugi::xml_attribute attribute) : m_node(owner), m_attribute(attribute) {}

    bool IsNull() const { return !m_node; }
    explicit operator bool() const { return !IsNull(); }
    bool operator==(const XmlNode& other) const = default;

    NodeKind Kind() const;
    // Element and attribute names as written; the other kinds have the DOM
    // names "#text", "#cdata-section", "#comment", "#document"; a
    // processing instruction has its target.
    WideString Name() const;
    // The concatenated character data of the node and all its descendants
    // in document order (text and CDATA); an attribute's value; the content
    // of a comment or processing instruction.
    WideString Text() const;

    // The attribute's value, or none when the element has no such attribute.
    std::optional<WideString> Attribute(std::u16string_view name) const;
    // Sets (or adds, as the last attribute) a value; false on anything but
    // an element.
    bool SetAttribute(std::u16string_view name, std::u16string_view value);
    // An element's children are replaced by one text node (none for an empty
    // text); a text node or attribute gets the value.
    bool SetText(std::u16string_view text);

    XmlNode Parent() const;
    XmlNode FirstChild() const;
    XmlNode NextSibling() const;
    // All child nodes in document order.
    std::vector<XmlNode> Children() const;
    // The first child element with exactly this name, or null.
    XmlNode ChildElement(std::u16string_view name) const;

    // Moves child (a node made by XmlDocument::CreateElement, or one
    // elsewhere in the same document) to the end of this node's children;
    // returns it, or null when the move is not possible (another document,
    // an ancestor of this node, a second document element, a parent that
    // takes no children).
    XmlNode AppendChild(const XmlNode& child);
    // The same, placing the child directly before reference, which must be a
    // child of this node.
    XmlNode InsertBefore(const XmlNode& child, const XmlNode& reference);
    // Removes a child of this node with its subtree; false when it is not a
    // child. Handles to the removed nodes become invalid.
    bool RemoveChild(const XmlNode& child);

    // The first node in document order that the path selects from this node,
    // or null: child paths ("/home/title", "item/name"), attribute
    // predicates ("plugin[@clsid='{...}']") and a final attribute step
    // (".../parm[@name=\"Scheme\"]/@value"), and whatever else XPath 1.0
    // offers. A malformed path selects nothing.
    XmlNode SelectSingleNode(std::u16string_view path) const;

    pugi::xml_node Native() const { return m_node; }

private:
    bool IsParked() const;
    bool AcceptsChild(const XmlNode& child) const;

    pugi::xml_node m_node;            // the node, or the owner of m_attribute
    pugi::xml_attribute m_attribute;  // set for attribute nodes only
};

// The element that holds nodes created but not yet placed in the tree. Its
// name cannot occur in a parsed document, so no path or walk meets it.
inline constexpr const char* kDetachedHolderName = "#detached";

}  // namespace platform::xml
