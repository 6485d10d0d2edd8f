// The scheme the installer writes: file names, where the row goes and what
// it carries, and the configuration manager's answer read for the path.
#include <gtest/gtest.h>

#include "home/SchemeBuilder.h"
#include "platform/base/WideString.h"

namespace {

using platform::xml::NodeKind;
using platform::xml::XmlDocument;
using platform::xml::XmlNode;

home::SchemeInfo Named(const WideString& path, bool isOwn, std::int32_t number)
{
    home::SchemeInfo info;
    info.path = path;
    info.isOwn = isOwn;
    info.number = number;
    return info;
}

// The tahoma.xml chain itself is walked by the installer's tests.
TEST(SchemeFileName, FollowsTheCurrentScheme)
{
    struct Case {
        const WCHAR* path;
        bool isOwn;
        std::int32_t number;
        const WCHAR* expected;
    } cases[] = {
        {u"\\Windows\\Home\\Corvane1.tahoma.xml", true, 1, u"Corvane2.tahoma.xml"},
        {u"/d/Home/corvane9.a.b.xml", true, 9, u"Corvane10.a.b.xml"},
        {u"/d/Home/CorvaneX", true, 0, u"Corvane1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(home::NewSchemeFileName(Named(c.path, c.isOwn, c.number)), c.expected) << platform::WideToUtf8(c.path);
}

class PlacePlugin : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_document.LoadText(
            u"<home><title>Today</title><title>Corvane - Mine</title>"
            u"<plugin name=\"a\" clsid=\"{A}\"/><plugin name=\"b\" clsid=\"{B}\"/>"
            u"<plugin clsid=\"{fcce0008-c09e-4fe2-8b57-6d753d2127ad}\" name=\"Corvane\" show-b-border=\"2\"/>"
            u"<plugin name=\"c\" clsid=\"{C}\"/><background/></home>"));
    }
    // The names of home's child elements (a plugin by its name) in order.
    std::vector<WideString> Order() const
    {
        std::vector<WideString> order;
        for (const XmlNode& child : m_document.DocumentElement().Children()) {
            if (child.Kind() == NodeKind::Element)
                order.push_back(child.Attribute(u"name").value_or(child.Name()));
        }
        return order;
    }
    XmlNode Own() const
    {
        return m_document.SelectSingleNode(u"/home/plugin[@clsid='{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}']");
    }

    XmlDocument m_document;
};

TEST_F(PlacePlugin, FirstGoesBeforeTheFirstOtherRowWithDefaultBorderUnwritten)
{
    home::PlacePlugin(m_document, {0, true, u"25", 0}, u"/d/Home/tahoma.xml");
    EXPECT_EQ(Order(), (std::vector<WideString>{u"title", u"title", u"Corvane", u"a", u"b", u"c", u"background"}));
    XmlNode own = Own();
    EXPECT_EQ(own.Attribute(u"autoheight"), u"True");
    EXPECT_EQ(own.Attribute(u"height"), u"25");
    EXPECT_FALSE(own.Attribute(u"show-b-border").has_value());
    EXPECT_EQ(own.ChildElement(u"oldschema").Text(), u"/d/Home/tahoma.xml");
    EXPECT_EQ(m_document.SelectSingleNode(u"/home/title").Text(), u"Corvane - Today");
    EXPECT_EQ(m_document.SelectSingleNode(u"/home/title[2]").Text(), u"Corvane - Mine");
}

TEST_F(PlacePlugin, LastIsAppendedAfterEveryChildAndBorderModeIsWritten)
{
    home::PlacePlugin(m_document, {3, false, u"40", 1}, u"");
    EXPECT_EQ(Order(), (std::vector<WideString>{u"title", u"title", u"a", u"b", u"c", u"background", u"Corvane"}));
    XmlNode own = Own();
    EXPECT_EQ(own.Attribute(u"autoheight"), u"False");
    EXPECT_EQ(own.Attribute(u"show-b-border"), u"1");
    EXPECT_TRUE(own.ChildElement(u"oldschema").IsNull()) << "no old scheme, no element";
}

// Answers without a value or with an empty one go through the installer's
// tests, which also see the message box.
TEST(SchemeAnswer, GivesThePathOrTheError)
{
    struct Case {
        const WCHAR* answer;
        const WCHAR* path;
        const WCHAR* error;
    } cases[] = {
        {u"<wap-provisioningdoc><characteristic type=\"Home\"><characteristic type=\"HKCU\\ControlPanel\\Home\">"
         u"<parm name=\"Scheme\" value=\"/d/Home/a&amp;b.xml\"/></characteristic></characteristic></wap-provisioningdoc>",
         u"/d/Home/a&b.xml", u""},
        {u"<wap-provisioningdoc><characteristic type=\"Other\"/></wap-provisioningdoc>", u"", u"Bad metadata"},
        {u"<wap-provisioningdoc><characteristic", u"", u"Can't load metadata"},
    };
    for (const auto& c : cases) {
        WideString error;
        EXPECT_EQ(home::SchemePathFromAnswer(c.answer, error), c.path);
        EXPECT_EQ(error, c.error);
    }
    // A path with XML's special characters survives the set document.
    XmlDocument set;
    ASSERT_TRUE(set.LoadText(home::SetSchemeDocument(u"/d/Home/\"a\" & <b>.xml")));
    EXPECT_EQ(set.SelectSingleNode(u"//parm/@value").Text(), u"/d/Home/\"a\" & <b>.xml");
}

}  // namespace
