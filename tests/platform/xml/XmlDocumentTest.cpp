#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/base/WideString.h"
#include "platform/xml/XmlDocument.h"
#include "platform/xml/XmlText.h"
#include "tests/common/TestSupport.h"

namespace {

using platform::xml::NodeKind;
using platform::xml::XmlDocument;
using platform::xml::XmlNode;

TEST(XmlLoad, IllFormedTextFailsAndLeavesTheDocumentEmpty)
{
    struct Case {
        const char* name;
        std::u16string text;
    } cases[] = {
        {"empty", u""},
        {"only text", u"hello"},
        {"unclosed", u"<a><b></b>"},
        {"truncated tag", u"<a"},
        {"mismatched", u"<a></b>"},
        {"two roots", u"<a/><b/>"},
        {"bad attribute", u"<a x=1/>"},
        {"zero before the root", std::u16string(u"\0<a/>", 5)},
    };
    for (const Case& c : cases) {
        XmlDocument document;
        ASSERT_TRUE(document.LoadText(u"<old/>"));
        platform::xml::LoadResult result = document.LoadText(c.text);
        EXPECT_FALSE(result) << c.name;
        EXPECT_FALSE(result.Description().empty()) << c.name;
        EXPECT_TRUE(document.DocumentElement().IsNull()) << c.name;
        EXPECT_EQ(document.ToText(), u"") << c.name;
    }
}

TEST(XmlLoad, EntitiesOfADocumentTypeAreNotExpanded)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadText(u"<!DOCTYPE a [<!ENTITY x \"xxxxxxxx\"><!ENTITY y \"&x;&x;&x;\">]>"
                                  u"<a>&y;&amp;&#65;&bogus;</a>"));
    EXPECT_EQ(document.DocumentElement().Text(), u"&y;&A&bogus;");
}

TEST(XmlLoad, TextEndsAtTheFirstZeroCharacter)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadText(std::u16string(u"<a>x</a>\0garbage<<", 18)));
    EXPECT_EQ(document.DocumentElement().Text(), u"x");
}

TEST(XmlLoad, DeepNestingParsesWalksAndSerialisesWithoutRecursion)
{
    constexpr int kDepth = 200000;
    std::u16string text;
    for (int i = 0; i < kDepth; ++i)
        text += u"<e>";
    text += u"deep";
    for (int i = 0; i < kDepth; ++i)
        text += u"</e>";
    XmlDocument document;
    ASSERT_TRUE(document.LoadText(text));
    EXPECT_EQ(document.DocumentElement().Text(), u"deep");
    EXPECT_EQ(document.ToText().size(), text.size());
}

TEST(XmlNodes, ChildrenInDocumentOrderWithKinds)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadText(u"<r>\n  <a/>text<![CDATA[<raw>]]><!--note--><?pi data?>\n  <b x='1'/>\n</r>"));
    std::vector<XmlNode> children = document.DocumentElement().Children();
    ASSERT_EQ(children.size(), 6u);  // white space between elements is dropped
    NodeKind kinds[] = {NodeKind::Element, NodeKind::Text, NodeKind::CData,
                        NodeKind::Other,   NodeKind::Other, NodeKind::Element};
    std::u16string names[] = {u"a", u"#text", u"#cdata-section", u"#comment", u"pi", u"b"};
    for (std::size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(children[i].Kind(), kinds[i]) << i;
        EXPECT_EQ(children[i].Name(), names[i]) << i;
    }
    EXPECT_EQ(document.DocumentElement().Text(), u"text<raw>");
    EXPECT_EQ(children[5].Attribute(u"x"), u"1");
    EXPECT_EQ(children[5].Attribute(u"y"), std::nullopt);
    EXPECT_EQ(children[1].Attribute(u"x"), std::nullopt);
    EXPECT_EQ(document.Node().Kind(), NodeKind::Document);
    EXPECT_EQ(document.DocumentElement().Parent(), document.Node());
}

TEST(XmlSelect, PathsOfTheCallers)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadText(
        u"<wap-provisioningdoc>"
        u"<characteristic type='Other'><characteristic><parm name='Scheme' value='wrong'/></characteristic></characteristic>"
        u"<characteristic type=\"Home\"><characteristic>"
        u"<parm name='Other' value='no'/><parm name='Scheme' value='tahoma.xml'/>"
        u"</characteristic></characteristic>"
        u"<home><title>first</title><title>second</title>"
        u"<plugin clsid='{X}' name='x'/><plugin clsid='{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}' name='own'/></home>"
        u"</wap-provisioningdoc>"));
    XmlNode value = document.SelectSingleNode(
        u"/wap-provisioningdoc/characteristic[@type=\"Home\"]/characteristic/parm[@name=\"Scheme\"]/@value");
    EXPECT_EQ(value.Kind(), NodeKind::Attribute);
    EXPECT_EQ(value.Name(), u"value");
    EXPECT_EQ(value.Text(), u"tahoma.xml");
    EXPECT_EQ(value.Parent().Attribute(u"name"), u"Scheme");

    XmlNode home = document.SelectSingleNode(u"/wap-provisioningdoc/home");
    EXPECT_EQ(home.SelectSingleNode(u"title").Text(), u"first");  // first in document order
    EXPECT_EQ(home.SelectSingleNode(u"plugin[@clsid='{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}']").Attribute(u"name"),
              u"own");
    EXPECT_TRUE(document.SelectSingleNode(u"/home/title").IsNull());
    EXPECT_TRUE(document.SelectSingleNode(u"/wap-provisioningdoc/home/plugin[@clsid='{Y}']").IsNull());

    for (const char16_t* bad : {u"/a[", u"///", u"count(/a)", u"/a/@", u""})
        EXPECT_TRUE(document.SelectSingleNode(bad).IsNull()) << platform::WideToUtf8(bad);
}

TEST(XmlBuild, AppendInsertRemoveAndSerialiseWithoutDeclaration)
{
    XmlDocument document;
    XmlNode root = document.Node().AppendChild(document.CreateElement(u"root"));
    ASSERT_FALSE(root.IsNull());
    EXPECT_EQ(document.DocumentElement(), root);

    XmlNode last = root.AppendChild(document.CreateElement(u"last"));
    XmlNode first = root.InsertBefore(document.CreateElement(u"first"), last);
    XmlNode middle = document.CreateElement(u"middle");
    EXPECT_TRUE(middle.Parent().IsNull());  // created but not placed
    EXPECT_EQ(document.ToText(), u"<root><first/><last/></root>");
    root.InsertBefore(middle, last);
    middle.SetText(u"a < b & \"c\"");
    middle.SetAttribute(u"q", u"it's \"quoted\" <&>");
    middle.SetAttribute(u"q", u"replaced 'quote' \"double\" <&>");
    first.SetAttribute(u"n", u"\U0001F600 ü");
    EXPECT_EQ(document.ToText(),
              u"<root><first n=\"\U0001F600 ü\"/><middle q=\"replaced 'quote' &quot;double&quot; &lt;&amp;>\">"
              u"a &lt; b &amp; \"c\"</middle><last/></root>");

    // Text and attributes come back as they were set, line ends included.
    root.AppendChild(document.CreateElement(u"lines")).SetText(u"one\r\ntwo\rthree\n");
    XmlDocument again;
    ASSERT_TRUE(again.LoadText(document.ToText()));
    XmlNode reread = again.SelectSingleNode(u"/root/middle");
    EXPECT_EQ(reread.Text(), u"a < b & \"c\"");
    EXPECT_EQ(reread.Attribute(u"q"), u"replaced 'quote' \"double\" <&>");
    EXPECT_EQ(again.SelectSingleNode(u"/root/lines").Text(), u"one\r\ntwo\rthree\n");
    root.RemoveChild(root.ChildElement(u"lines"));

    EXPECT_TRUE(root.RemoveChild(middle));
    XmlNode grandchild = first.AppendChild(document.CreateElement(u"inner"));
    EXPECT_FALSE(root.RemoveChild(grandchild)) << "not a direct child";
    EXPECT_TRUE(first.RemoveChild(grandchild));
    EXPECT_EQ(document.ToText(), u"<root><first n=\"\U0001F600 ü\"/><last/></root>");
}

TEST(XmlBuild, RefusedMovesChangeNothing)
{
    XmlDocument document;
    XmlNode root = document.Node().AppendChild(document.CreateElement(u"root"));
    XmlNode child = root.AppendChild(document.CreateElement(u"child"));
    XmlDocument other;
    XmlNode foreign = other.CreateElement(u"foreign");

    EXPECT_TRUE(child.AppendChild(root).IsNull()) << "an ancestor";
    EXPECT_TRUE(root.AppendChild(foreign).IsNull()) << "another document";
    EXPECT_TRUE(document.Node().AppendChild(document.CreateElement(u"second")).IsNull()) << "second root";
    EXPECT_TRUE(root.InsertBefore(document.CreateElement(u"x"), foreign).IsNull()) << "reference elsewhere";
    EXPECT_TRUE(document.CreateElement(u"").IsNull());
    EXPECT_FALSE(child.RemoveChild(root));
    EXPECT_EQ(document.ToText(), u"<root><child/></root>");
}

class XmlFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
    }
    void TearDown() override
    {
    }
    std::u16string Path(const char* name) { return platform::Utf8ToWide(m_folder + "/" + name); }
    testsupport::TempFolder m_temp{"corvane-xml"};
    const std::string m_folder = m_temp.Path();
};

TEST_F(XmlFileTest, SaveReplacesTheFileAndLoadsBack)
{
    std::ofstream(m_folder + "/doc.xml") << std::string(100000, 'x');
    XmlDocument document;
    XmlNode root = document.Node().AppendChild(document.CreateElement(u"skin"));
    root.AppendChild(document.CreateElement(u"desc")).SetText(u"Grün");
    ASSERT_TRUE(document.Save(Path("doc.xml")));

    XmlDocument loaded;
    ASSERT_TRUE(loaded.LoadFile(Path("doc.xml")));
    EXPECT_EQ(platform::xml::ChildTextValue(loaded.DocumentElement(), u"desc"), u"Grün");
    EXPECT_EQ(access((m_folder + "/doc.xml.tmp").c_str(), F_OK), -1);

    EXPECT_FALSE(document.Save(Path("missing-folder/doc.xml")));
    EXPECT_FALSE(loaded.LoadFile(Path("absent.xml")));
    EXPECT_TRUE(loaded.DocumentElement().IsNull());
}

TEST_F(XmlFileTest, LoadsUtf16FilesWithByteOrderMark)
{
    std::string bytes = "\xFF\xFE";
    for (char c : std::string("<a>ok</a>")) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    std::ofstream(m_folder + "/wide.xml", std::ios::binary) << bytes;
    XmlDocument document;
    ASSERT_TRUE(document.LoadFile(Path("wide.xml")));
    EXPECT_EQ(document.DocumentElement().Text(), u"ok");
}

TEST(XmlText, OneTextNodeRule)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadText(
        u"<skin><plain>#FF0000</plain><spaced>  12 </spaced><empty/><blank>   </blank>"
        u"<cdata><![CDATA[x]]></cdata><comment>x<!--c--></comment><nested><i>x</i></nested>"
        u"<Plain>upper</Plain><twice>first</twice><twice>second</twice></skin>"));
    XmlNode skin = document.DocumentElement();
    struct Case {
        const char16_t* element;
        std::optional<std::u16string> value;
    } cases[] = {
        {u"plain", u"#FF0000"}, {u"spaced", u"  12 "},   {u"empty", std::nullopt},
        {u"blank", std::nullopt}, {u"cdata", std::nullopt}, {u"comment", std::nullopt},
        {u"nested", std::nullopt}, {u"missing", std::nullopt}, {u"PLAIN", std::nullopt},
        {u"twice", u"first"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::xml::ChildTextValue(skin, c.element), c.value) << platform::WideToUtf8(c.element);
    EXPECT_EQ(platform::xml::SingleTextValue(XmlNode()), std::nullopt);
}

}  // namespace
