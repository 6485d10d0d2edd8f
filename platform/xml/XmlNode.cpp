#include "platform/xml/XmlNode.h"

#include <cstring>
#include <string>

#include "platform/base/WideString.h"

namespace platform::xml {
namespace {

WideString Wide(const char* utf8) { return Utf8ToWide(utf8 == nullptr ? "" : utf8); }

bool IsHolder(pugi::xml_node node)
{
    return node.type() == pugi::node_element && node.parent().type() == pugi::node_document &&
           std::strcmp(node.name(), kDetachedHolderName) == 0;
}

bool IsCharacterData(pugi::xml_node node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// Appends the character data below root in document order. Iterative, so
// deeply nested documents cannot exhaust the stack.
void CollectText(pugi::xml_node root, std::string& out)
{
    pugi::xml_node node = root.first_child();
    while (node && node != root) {
        if (IsCharacterData(node))
            out += node.value();
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling())
            node = node.parent();
        if (node != root)
            node = node.next_sibling();
    }
}

}  // namespace

NodeKind XmlNode::Kind() const
{
    if (!m_node)
        return NodeKind::None;
    if (m_attribute)
        return NodeKind::Attribute;
    switch (m_node.type()) {
    case pugi::node_document:
        return NodeKind::Document;
    case pugi::node_element:
        return NodeKind::Element;
    case pugi::node_pcdata:
        return NodeKind::Text;
    case pugi::node_cdata:
        return NodeKind::CData;
    default:
        return NodeKind::Other;
    }
}

WideString XmlNode::Name() const
{
    switch (Kind()) {
    case NodeKind::None:
        return {};
    case NodeKind::Attribute:
        return Wide(m_attribute.name());
    case NodeKind::Document:
        return u"#document";
    case NodeKind::Text:
        return u"#text";
    case NodeKind::CData:
        return u"#cdata-section";
    default:
        break;
    }
    if (m_node.type() == pugi::node_comment)
        return u"#comment";
    return Wide(m_node.name());
}

WideString XmlNode::Text() const
{
    switch (Kind()) {
    case NodeKind::None:
        return {};
    case NodeKind::Attribute:
        return Wide(m_attribute.value());
    case NodeKind::Element:
    case NodeKind::Document: {
        std::string text;
        CollectText(m_node, text);
        return Utf8ToWide(text);
    }
    default:
        return Wide(m_node.value());
    }
}

std::optional<WideString> XmlNode::Attribute(std::u16string_view name) const
{
    if (Kind() != NodeKind::Element)
        return std::nullopt;
    pugi::xml_attribute attribute = m_node.attribute(WideToUtf8(name).c_str());
    if (!attribute)
        return std::nullopt;
    return Wide(attribute.value());
}

bool XmlNode::SetAttribute(std::u16string_view name, std::u16string_view value)
{
    if (Kind() != NodeKind::Element || name.empty())
        return false;
    std::string key = WideToUtf8(name);
    pugi::xml_attribute attribute = m_node.attribute(key.c_str());
    if (!attribute)
        attribute = m_node.append_attribute(key.c_str());
    return attribute.set_value(WideToUtf8(value).c_str());
}

bool XmlNode::SetText(std::u16string_view text)
{
    std::string value = WideToUtf8(text);
    switch (Kind()) {
    case NodeKind::Attribute:
        return m_attribute.set_value(value.c_str());
    case NodeKind::Text:
    case NodeKind::CData:
        return m_node.set_value(value.c_str());
    case NodeKind::Element:
        m_node.remove_children();
        return value.empty() || m_node.append_child(pugi::node_pcdata).set_value(value.c_str());
    default:
        return false;
    }
}

XmlNode XmlNode::Parent() const
{
    if (m_attribute)
        return XmlNode(m_node);
    pugi::xml_node parent = m_node.parent();
    return IsHolder(parent) ? XmlNode() : XmlNode(parent);
}

XmlNode XmlNode::FirstChild() const
{
    if (m_attribute)
        return {};
    pugi::xml_node child = m_node.first_child();
    while (IsHolder(child))
        child = child.next_sibling();
    return XmlNode(child);
}

XmlNode XmlNode::NextSibling() const
{
    if (m_attribute)
        return {};
    pugi::xml_node sibling = m_node.next_sibling();
    while (IsHolder(sibling))
        sibling = sibling.next_sibling();
    return XmlNode(sibling);
}

std::vector<XmlNode> XmlNode::Children() const
{
    std::vector<XmlNode> children;
    for (XmlNode child = FirstChild(); child; child = child.NextSibling())
        children.push_back(child);
    return children;
}

XmlNode XmlNode::ChildElement(std::u16string_view name) const
{
    if (Kind() != NodeKind::Element && Kind() != NodeKind::Document)
        return {};
    std::string key = WideToUtf8(name);
    for (pugi::xml_node child = m_node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && key == child.name() && !IsHolder(child))
            return XmlNode(child);
    }
    return {};
}

bool XmlNode::IsParked() const
{
    pugi::xml_node node = m_node;
    while (node && node.parent() && node.parent().type() != pugi::node_document)
        node = node.parent();
    return IsHolder(node);
}

bool XmlNode::AcceptsChild(const XmlNode& child) const
{
    NodeKind kind = Kind();
    NodeKind childKind = child.Kind();
    if (childKind == NodeKind::None || childKind == NodeKind::Attribute || childKind == NodeKind::Document ||
        IsHolder(child.m_node))
        return false;
    if (kind == NodeKind::Element)
        return true;
    if (kind != NodeKind::Document)
        return false;
    // A document holds one element and no character data.
    if (childKind == NodeKind::Text || childKind == NodeKind::CData)
        return false;
    if (childKind != NodeKind::Element)
        return true;
    for (XmlNode existing = FirstChild(); existing; existing = existing.NextSibling()) {
        if (existing.Kind() == NodeKind::Element && existing != child)
            return false;
    }
    return true;
}

XmlNode XmlNode::AppendChild(const XmlNode& child)
{
    if (!AcceptsChild(child))
        return {};
    return XmlNode(m_node.append_move(child.m_node));
}

XmlNode XmlNode::InsertBefore(const XmlNode& child, const XmlNode& reference)
{
    if (!AcceptsChild(child) || reference.m_attribute || reference.m_node.parent() != m_node ||
        child.m_node == reference.m_node)
        return {};
    return XmlNode(m_node.insert_move_before(child.m_node, reference.m_node));
}

bool XmlNode::RemoveChild(const XmlNode& child)
{
    if (IsNull() || m_attribute || child.IsNull() || child.m_attribute || child.m_node.parent() != m_node ||
        IsHolder(child.m_node))
        return false;
    return m_node.remove_child(child.m_node);
}

XmlNode XmlNode::SelectSingleNode(std::u16string_view path) const
{
    if (IsNull() || path.empty())
        return {};
    pugi::xpath_node context = m_attribute ? pugi::xpath_node(m_attribute, m_node) : pugi::xpath_node(m_node);
    pugi::xpath_node_set found;
    try {
        pugi::xpath_query query(WideToUtf8(path).c_str());
        found = query.evaluate_node_set(context);
    } catch (const pugi::xpath_exception&) {
        // The library reports a malformed path or a path that yields no node
        // set by throwing; to the caller it is simply a path that selects
        // nothing.
        return {};
    }
    found.sort();
    bool fromParked = IsParked();
    for (const pugi::xpath_node& hit : found) {
        XmlNode node = hit.attribute() ? XmlNode(hit.parent(), hit.attribute()) : XmlNode(hit.node());
        if (fromParked || !node.IsParked())
            return node;
    }
    return {};
}

}  // namespace platform::xml
