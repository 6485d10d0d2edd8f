// The chat window: one per contact. The conversation fills the window above a
// multi-line edit box, newest message at the bottom, read back from the
// stored history a screenful at a time as the user scrolls up. The left soft
// key reads "Send" while there is something to send and "Back" otherwise;
// "Menu" offers "Smile" and "Close". Typing notices go to the contact while
// the user types.
//
// ChatWindow holds the drawing, paging and keys; ICQ_ChatWindow sends
// through the ICQ account.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "app/AppCore.h"
#include "oscar/Contact.h"
#include "oscar/messaging/MessageCommands.h"
#include "oscar/messaging/SendResult.h"
#include "ui/chat/ChatLayout.h"
#include "ui/chat/LinkSelection.h"
#include "ui/chat/MemorySurface.h"
#include "ui/framework/ControlWindows.h"
#include "ui/framework/WindowBase.h"

class ContactStore;

class ChatWindow : public WindowBase, public EventListener {
public:
    static constexpr WORD kBackOrSend = 2001;
    static constexpr WORD kSmile = 41404;
    static constexpr WORD kClose = 41405;
    static constexpr int kEditId = 100;
    static constexpr UINT_PTR kTypingTimer = 777;
    static constexpr UINT kTypingPeriod = 1000;
    // A typing notice is repeated after this much typing, and counts as
    // stopped after this long without a key.
    static constexpr DWORD kTypingRepeat = 7000;
    static constexpr DWORD kTypingIdle = 8000;
    // Lines the top of the history keeps in view when scrolled up to it.
    static constexpr int kTopLines = 4;
    // A history held by an append is read again after this long.
    static constexpr UINT_PTR kHistoryRetryTimer = 778;
    static constexpr UINT kHistoryRetryPeriod = 500;

    const WCHAR* SystemClassName() const override { return nullptr; }
    WNDPROC BaseClassProc() const override { return nullptr; }
    UINT MenuBarId() const override { return 1534; }

    void OnEvent(const RefPtr<AppEvent>& event) override;

    // State the screen shows (also read by tests).
    HWND Edit() const { return m_edit ? m_edit->Window() : nullptr; }
    bool LeftKeyIsSend() const { return m_leftKeyIsSend; }
    bool Typing() const { return m_typing; }
    std::size_t LineCount() const { return m_lines.size(); }
    int ScrollOffset() const { return m_scrollOffset; }
    bool HistoryDone() const { return m_historyDone; }
    // The text of a kept line, counted from the bottom (ScrollOffset() is
    // the lowest in view); empty past the lines kept.
    WideString LineText(std::size_t line) const;
    const RefPtr<Contact>& Peer() const { return m_contact; }
    // The address of the link chosen with the joystick, or empty.
    WideString SelectedLink() const;

protected:
    ChatWindow(AppCore& core, RefPtr<Contact> contact);
    ~ChatWindow() override;

    // What the protocol provides.
    virtual ContactStore* Store() = 0;
    virtual bool SignedOn() = 0;
    virtual oscar::SendResult SendText(const WideString& text) = 0;
    virtual void SendTyping(oscar::TypingState state) = 0;
    virtual RefPtr<skin::SmileySet> Smilies() = 0;
    // Older messages of the stored conversation, newest first.
    struct HistoryPage {
        std::vector<chat::Message> messages;
        // Stored records the page went past, unreadable ones included.
        std::int32_t records = 0;
        // The history was held by an append: nothing read, try again.
        bool busy = false;
    };
    // Up to `count` messages, leaving out the `skip` newest stored records.
    virtual HistoryPage ReadHistory(std::int32_t skip, std::int32_t count) = 0;
    // Keeps the text as the contact's unsent text, on the device as well.
    virtual void KeepUnsentText(const WideString& text) = 0;

    void OnCreated() override;
    void OnDestroy() override;
    LRESULT OnClose() override;
    void OnWindowPosChanged(WINDOWPOS* position, bool& handled) override;
    void OnDraw(HDC dc, const RECT& client) override;
    LRESULT OnChildKeyDown(WPARAM key, LPARAM keyData, HWND control, bool& handled) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    AppCore& m_core;

private:
    enum class PendingKind { Older = 1, Newer = 2, Append = 3 };
    struct Pending {
        PendingKind kind;
        chat::Message message;
    };

    void PlaceEdit();
    int LineHeight();
    WideString EditText() const;
    void FollowContact();
    bool SendPending();
    void UpdateTitle();
    void UpdateSoftKeys();
    void NotifyTyping(oscar::TypingState state);
    void StopTyping();
    void OnEditChanged();
    void OnTypingTimer();
    void OnBackOrSend();
    void PickSmiley();
    void BackToMainWindow();
    void LeaveText();
    WideString TextForBox(bool sending, const WideString& unsent);
    void PutInBox(const WideString& text);
    void SelectNextLink();
    void DropLinkSelection();
    void OpenSelectedLink();
    void Append(chat::Message message);
    void ForgetLines();
    // One message kept laid out: its lines, and the history records it
    // stands for (itself and the damaged ones just newer than it).
    struct MessageSpan {
        int lines = 0;
        std::int32_t records = 0;
    };
    // Messages dropped at the newest end, oldest last: `count` messages
    // spanning `records` records each (runs, as almost all span one).
    struct DroppedRun {
        std::int32_t count = 0;
        std::int32_t records = 0;
    };
    void TakePending(HDC dc, int visible);
    void ReadOlder(HDC dc, int visible);
    bool ReadOlderPage(HDC dc, int visible);
    HistoryPage ReadSpans(std::int32_t skip, std::int32_t count, std::vector<std::int32_t>& spans);
    void ReadNewer(HDC dc, int visible, int until);
    void KeepNewest(HDC dc, const chat::Message& message, std::int32_t records);
    void KeepOldest(HDC dc, const chat::Message& message, std::int32_t records);
    void DropFarLines(int visible);
    void DropNewestMessage();
    void DropOldestMessage();
    std::vector<chat::Line> LayOut(HDC dc, const chat::Message& message);
    void DrawLines(HDC dc, int width, int lineHeight);
    // `box` is where the link's text goes.
    void DrawLink(HDC dc, const chat::Run& run, const RECT& box, bool selected, const RECT& area);
    void StopListening();

    RefPtr<Contact> m_contact;
    WideString m_uin;
    RefPtr<TextBoxWindow> m_edit;
    HPEN m_separatorPen = nullptr;
    int m_historyHeight = 0;
    chat::MemorySurface m_surface;
    bool m_typing = false;
    DWORD m_lastSentTick = 0;
    DWORD m_lastKeyTick = 0;
    bool m_leftKeyIsSend = false;
    // Newest first, with the marks of lines from the contact beside them.
    std::deque<chat::Line> m_lines;
    std::deque<bool> m_incoming;
    // The kept messages, newest first, and the history records they span:
    // damaged records count too, or a read would show messages a second time.
    std::deque<MessageSpan> m_spans;
    std::int32_t m_keptRecords = 0;
    // Records newer than the kept lines, dropped while the view is far from
    // them and read back when it comes near; newest first.
    std::int32_t m_newerDropped = 0;
    std::deque<DroppedRun> m_droppedRuns;
    int m_scrollOffset = 0;
    bool m_historyDone = false;
    std::vector<Pending> m_pending;
    bool m_listening = false;
    // The link chosen with Right in an empty box (its first piece), and how
    // many lines the last drawing showed whole.
    std::optional<chat::LinkAt> m_selectedLink;
    std::size_t m_linesInView = 0;
};

class ICQ_ChatWindow : public ChatWindow {
public:
    // Registers the class (once per process); creates no window.
    ICQ_ChatWindow(AppCore& core, RefPtr<Contact> contact);

    const WCHAR* ClassName() const override { return u"ICQ_ChatWindow"; }

protected:
    ~ICQ_ChatWindow() override = default;

    ContactStore* Store() override;
    bool SignedOn() override;
    oscar::SendResult SendText(const WideString& text) override;
    void SendTyping(oscar::TypingState state) override;
    RefPtr<skin::SmileySet> Smilies() override;
    HistoryPage ReadHistory(std::int32_t skip, std::int32_t count) override;
    void KeepUnsentText(const WideString& text) override;
};
