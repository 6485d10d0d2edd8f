// A contact-list view over a real account and contact store, painted into a
// memory device context; the scroll bar is a child of a shown owner window.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "oscar/IcqAccount.h"
#include "platform/base/WideString.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Controls.h"
#include "platform/win/Window.h"
#include "skin/Look.h"
#include "tests/common/TestSupport.h"
#include "ui/ContactListView.h"

namespace listtest {

// A memory context with a bitmap of the given size.
class Canvas {
public:
    Canvas(int pixelsWide, int pixelsHigh)
    {
        dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateCompatibleBitmap(dc, pixelsWide, pixelsHigh);
        m_old = SelectObject(dc, m_bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc = nullptr;

private:
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

class ListFixture : public testing::Test {
protected:
    static constexpr int kWidth = 176;

    void SetUp() override
    {
        ASSERT_TRUE(m_folder.Ok());
        app::SetAppFolder(platform::Utf8ToWide(m_folder.Path() + "/"));
        AppCoreParts parts;
        parts.createAccount = [](AppCore& appCore, const WideString& uin) -> RefPtr<Account> {
            return MakeRef<IcqAccount>(appCore, uin);
        };
        core = MakeRef<AppCore>(nullptr, parts);
        settings = core->GetSettings();
        settings->EnsureLoaded();
        settings->uin = u"100001";
        settings->icqEnabled = true;
        core->SetUpAccount();
        ASSERT_TRUE(IcqAccount::Current(*core));
        core->SetLook(MakeRef<skin::Skin>(), MakeRef<skin::IconSet>());

        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.lpszClassName = u"ListTestOwner";
        RegisterClassW(&windowClass);
        owner = CreateWindowExW(0, u"ListTestOwner", u"List", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        bar = CreateWindowExW(0, u"SCROLLBAR", u"", WS_CHILD | WS_VISIBLE | SBS_VERT, kWidth - 5, 0, 5, 85, owner,
                              nullptr, nullptr, nullptr);
        view = std::make_unique<ContactListView>(*core, owner, bar);
    }
    void TearDown() override
    {
        view.reset();
        DestroyWindow(owner);
        core->DropAccount();
        // The session's login thread uses the core until it has ended.
        EXPECT_TRUE(testsupport::WaitFor([] { return app::LiveSessionCount().load() == 0; }));
    }

    ContactStore& Store() { return IcqAccount::Current(*core)->Store(); }

    RefPtr<Contact> Add(const std::string& uin, const std::string& nickname, std::int32_t status = 0)
    {
        RefPtr<Contact> contact = Store().AddContact(MakeRef<Contact>(platform::Utf8ToWide(uin)));
        Store().SetNickname(contact, platform::Utf8ToWide(nickname));
        Store().SetStatus(contact, status);
        return contact;
    }
    // Online contacts "A00" ... in display order, UINs 200000 + i.
    void AddOnline(int count)
    {
        for (int i = 0; i < count; ++i) {
            Add(std::to_string(200000 + i), (i < 10 ? "A0" : "A") + std::to_string(i));
        }
    }

    // One paint of the view into a list area `height` pixels high.
    void Paint(int height = 85)
    {
        Canvas canvas(kWidth, height);
        view->Draw(canvas.dc, RECT{0, 0, kWidth, height});
    }

    std::vector<std::string> RowKeys() const
    {
        std::vector<std::string> keys;
        for (int i = 0; i < view->RowCount(); ++i)
            keys.push_back(platform::WideToUtf8(view->RowKey(i)));
        return keys;
    }
    int SelectedRow() const
    {
        for (int i = 0; i < view->RowCount(); ++i) {
            if (view->RowKey(i) == view->SelectedKey())
                return i;
        }
        return -1;
    }
    bool BarShown() const { return IsWindowVisible(bar) != FALSE; }

    testsupport::TempFolder m_folder{"corvane-list"};
    RefPtr<AppCore> core;
    RefPtr<Settings> settings;
    HWND owner = nullptr;
    HWND bar = nullptr;
    std::unique_ptr<ContactListView> view;
};

}  // namespace listtest
