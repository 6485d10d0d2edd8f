// SearchWindow: looks users up in the ICQ directory by UIN or by personal
// details (nickname, names, e-mail, gender, age range, city) and lists the
// hits; the action key on a hit opens its UserInfoWindow. Soft keys "Find"
// and "Cancel".
#pragma once

#include <cstdint>
#include <vector>

#include "app/AppCore.h"
#include "oscar/meta/DirectoryQuery.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/Items.h"

class SearchWindow : public DialogBase, public EventListener {
public:
    static constexpr int kUinEdit = 1201;
    static constexpr int kNicknameEdit = 1203;
    static constexpr int kFirstNameEdit = 1205;
    static constexpr int kLastNameEdit = 1207;
    static constexpr int kEmailEdit = 1209;
    static constexpr int kGenderList = 1211;
    static constexpr int kAgeList = 1214;
    static constexpr int kCityEdit = 1217;
    static constexpr int kResultList = 1218;
    static constexpr int kStatusId = 1219;
    static constexpr WORD kFind = 41411;
    static constexpr WORD kCancel = 41403;
    // Criteria are read up to this many characters.
    static constexpr int kFieldLimit = 63;
    // A search without answer is given up after this much device time.
    static constexpr UINT kAnswerTimeout = 30000;

    explicit SearchWindow(AppCore& core);

    const WCHAR* ClassName() const override { return u"SearchWindow"; }
    UINT MenuBarId() const override { return 1543; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnChildKeyDown(WPARAM key, LPARAM keyData, HWND control, bool& handled) override;

    // Interface stage: the hits and errors of its own search.
    void OnEvent(const RefPtr<AppEvent>& event) override;

    // The UINs of the listed hits, in list order.
    const std::vector<std::uint32_t>& HitUins() const { return m_hitUins; }

protected:
    ~SearchWindow() override;

private:
    void BuildLayout();
    void Find();
    void OpenSelectedHit();
    void SetStatus(const WideString& text);
    WideString Text(int id) const;
    int Selection(int id) const;
    bool SignedOn() const;

    AppCore& m_core;
    RefPtr<oscar::DirectoryQuery> m_query;
    std::vector<std::uint32_t> m_hitUins;
    bool m_listening = false;
    WideString m_errorText;
};
