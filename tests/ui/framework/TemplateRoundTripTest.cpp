// The template a dialog writes, read back by the dialog manager's reader:
// header, every control's class (atom or name), caption, style and the
// creation block that leads back to the control's object.
#include <gtest/gtest.h>

#include "platform/dialog/DialogTemplate.h"
#include "ui/framework/CreationBlock.h"
#include "ui/framework/Items.h"
#include "ui/framework/TemplateWriter.h"

namespace {

uifw::TemplateControl Entry(ControlItem& item) { return uifw::ControlTemplate(item, *item.ControlObject()); }

TEST(TemplateRoundTrip, WrittenTemplateReadsBack)
{
    RefPtr<ControlItem> items[] = {
        CheckBoxItem(1000, u"Show offline contacts", {100, -6, 0, 0}),
        LabelItem(1001, u"UIN", {0, 0, 8, 0}),
        EditItem(1002, 0x2000, {95, 0, -8, 0}, {0, 3, 1}),
        MakeRef<ListBoxWindow>(1003, 0x50010101, WidthRule{0, 0, 6, 0}, HeightRule{0, 2, 1}),
    };
    RefPtr<ControlItem> spin = SpinItem(1004, 0x50000067, items[3]);
    uifw::TemplateHeader header{0x80000000, 113, 116, u"AccountDialog", u"Account", 9, u"Nina"};
    std::vector<uifw::TemplateControl> controls;
    for (RefPtr<ControlItem>& item : items)
        controls.push_back(Entry(*item));
    controls.push_back(Entry(*spin));

    auto bytes = uifw::WriteDialogTemplate(header, controls);
    ASSERT_TRUE(bytes);
    auto dialog = platform::dialog::ReadDialogTemplate(bytes->data(), bytes->size());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->style, 0x80000040u) << "DS_SETFONT is always added";
    EXPECT_EQ(dialog->cx, 113);
    EXPECT_EQ(dialog->cy, 116);
    EXPECT_EQ(dialog->className, u"AccountDialog");
    EXPECT_EQ(dialog->title, u"Account");
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->faceName, u"Nina");
    const std::u16string classes[] = {u"CheckBoxWindow", u"STATIC", u"TextBoxWindow", u"LISTBOX", u"msctls_updown32"};
    const DWORD styles[] = {0x50010003, 0x5000000C, 0x50012000, 0x50010101, 0x50000067};
    ASSERT_EQ(dialog->items.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const platform::dialog::TemplateItem& item = dialog->items[i];
        ControlItem& original = i < 4 ? *items[i] : *spin;
        EXPECT_EQ(item.className, classes[i]) << i;
        EXPECT_EQ(item.style, styles[i]) << i;
        EXPECT_EQ(item.id, original.Id());
        EXPECT_EQ(item.title, original.Caption());
        EXPECT_EQ(item.cx, 20);
        EXPECT_EQ(item.cy, 10);
        CREATESTRUCTW create;
        create.lpCreateParams = const_cast<BYTE*>(item.creationData.data());
        EXPECT_EQ(uifw::ObjectFromCreationBlock(&create), original.ControlObject()) << i;
    }
}

}  // namespace
