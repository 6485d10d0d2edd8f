// The chat window's messages area: messages laid out into lines as they come
// (new ones at the newest end, older ones read from the history at the
// oldest end when the view reaches them) and drawn from the bottom up into
// an off-screen surface that is copied to the window in one blit.
#include <algorithm>

#include "app/AppCore.h"
#include "platform/base/Clock.h"
#include "skin/Look.h"
#include "ui/ChatWindow.h"

namespace {

int TextWidth(HDC dc, std::u16string_view text)
{
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
    return static_cast<int>(extent.cx);
}

int SmileyHeight(HDC dc, const chat::Run& run)
{
    if (run.kind != chat::RunKind::Smiley || !run.smiley || !run.smiley->Image())
        return 0;
    auto drawable = run.smiley->Image()->Get(dc);
    return drawable ? drawable->height : 0;
}

}  // namespace

std::vector<chat::Line> ChatWindow::LayOut(HDC dc, const chat::Message& message)
{
    RefPtr<Settings> settings = m_core.GetSettings();
    RECT client{};
    GetClientRect(Window(), &client);
    chat::LayoutRules rules;
    rules.measure = [dc](std::u16string_view text) { return TextWidth(dc, text); };
    RefPtr<skin::SmileySet> set = Smilies();
    // A set without pictures leaves its codes as text.
    if (set && set->Count() > 0 && !set->TextOnly())
        rules.matchSmiley = [set](std::u16string_view text, std::size_t at) { return set->Match(text, at); };
    rules.smileyWidth = [dc](const skin::Smiley& smiley) {
        auto drawable = smiley.Image() ? smiley.Image()->Get(dc) : std::nullopt;
        return drawable ? drawable->width : 0;
    };
    rules.width = std::max<int>(client.right - 1, 1);
    rules.showTime = settings->showDateTime;
    rules.showNames = settings->showNames;
    GetLocalTime(&rules.today);
    if (m_contact) {
        rules.contactName = m_contact->nickname.empty() ? m_contact->uin : m_contact->nickname;
    }
    return chat::LayOut(message, rules);
}

void ChatWindow::TakePending(HDC dc)
{
    std::vector<Pending> pending = std::move(m_pending);
    m_pending.clear();
    for (Pending& item : pending) {
        switch (item.kind) {
        case PendingKind::Append: {
            std::vector<chat::Line> lines = LayOut(dc, item.message);
            // The chosen link stays the same link as lines come in below it.
            if (m_selectedLink)
                m_selectedLink->line += lines.size();
            for (chat::Line& line : lines) {
                m_lines.push_front(std::move(line));
                m_incoming.push_front(item.message.party >= 1);
            }
            ++m_messageCount;
            break;
        }
        case PendingKind::Older:
            ++m_scrollOffset;
            break;
        case PendingKind::Newer:
            if (m_scrollOffset > 0)
                --m_scrollOffset;
            break;
        }
    }
}

// Reads a screenful of older messages at a time until the view is filled:
// several scroll keys taken in one drawing can move it further than one
// screenful past the lines laid out. A history held by an append is read
// again a moment later; only a page without messages ends the history.
void ChatWindow::ReadOlder(HDC dc, int visible)
{
    while (!m_historyDone && static_cast<std::size_t>(m_scrollOffset + visible) > m_lines.size()) {
        HistoryPage older = ReadHistory(m_messageCount + m_recordsPassedOver, visible);
        if (older.busy) {
            SetTimer(Window(), kHistoryRetryTimer, kHistoryRetryPeriod, nullptr);
            return;
        }
        if (older.messages.empty()) {
            m_historyDone = true;
            return;
        }
        m_recordsPassedOver += std::max<std::int32_t>(older.records - static_cast<std::int32_t>(older.messages.size()), 0);
        // Newest first: each message goes above the ones read before it, its
        // last line first, since the lines are kept from the bottom up.
        for (const chat::Message& message : older.messages) {
            std::vector<chat::Line> lines = LayOut(dc, message);
            for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
                m_lines.push_back(std::move(*line));
                m_incoming.push_back(message.party >= 1);
            }
            ++m_messageCount;
        }
    }
}

void ChatWindow::DrawLines(HDC dc, int width, int lineHeight)
{
    RefPtr<skin::Skin> look = skin::CurrentSkin(m_core);
    RECT area{0, 0, width, m_historyHeight};
    if (look && look->ChatBackgroundBrush() != nullptr)
        FillRect(dc, &area, look->ChatBackgroundBrush());
    SetBkMode(dc, TRANSPARENT);
    std::vector<chat::LinkAt> selected;
    if (m_selectedLink)
        selected = chat::PiecesOf(m_lines, *m_selectedLink);
    m_linesInView = 0;
    int bottom = m_historyHeight - 1;
    for (std::size_t i = static_cast<std::size_t>(m_scrollOffset); i < m_lines.size() && bottom >= 0; ++i) {
        const chat::Line& line = m_lines[i];
        int height = lineHeight;
        for (const chat::Run& run : line)
            height = std::max(height, SmileyHeight(dc, run));
        int top = bottom - height + 1;
        if (look)
            SetTextColor(dc, m_incoming[i] ? look->contactMessageColour : look->ownMessageColour);
        if (top >= 0)
            ++m_linesInView;
        int textY = top + (height - lineHeight) / 2;
        int x = 1;
        for (std::size_t r = 0; r < line.size(); ++r) {
            const chat::Run& run = line[r];
            if (run.kind == chat::RunKind::Link) {
                bool chosen = std::find(selected.begin(), selected.end(), chat::LinkAt{i, r}) != selected.end();
                DrawLink(dc, run, RECT{x, textY, x + run.width, textY + lineHeight}, chosen, area);
            } else if (run.kind == chat::RunKind::Smiley) {
                if (run.smiley && run.smiley->Image())
                    run.smiley->Image()->Draw(dc, x, top);
            } else if (run.kind != chat::RunKind::Space && run.kind != chat::RunKind::LineBreak) {
                ExtTextOutW(dc, x, textY, ETO_CLIPPED, &area, run.text.c_str(),
                            static_cast<UINT>(run.text.size()), nullptr);
            }
            x += run.width;
        }
        // Neighbouring lines share one pixel row.
        bottom = top;
    }
}

// A link is underlined in its line's colour; the chosen one is drawn in the
// skin's selection colour with the text in the chat background's colour.
void ChatWindow::DrawLink(HDC dc, const chat::Run& run, const RECT& box, bool selected, const RECT& area)
{
    COLORREF ink = GetTextColor(dc);
    RefPtr<skin::Skin> look = skin::CurrentSkin(m_core);
    if (selected && look) {
        HBRUSH fill = CreateSolidBrush(look->selectedBorderColour);
        FillRect(dc, &box, fill);
        DeleteObject(fill);
        SetTextColor(dc, look->chatBackgroundColour);
    }
    ExtTextOutW(dc, box.left, box.top, ETO_CLIPPED, &area, run.text.c_str(), static_cast<UINT>(run.text.size()),
                nullptr);
    SetTextColor(dc, ink);
    if (!selected) {
        RECT underline{box.left, box.bottom - 2, box.right, box.bottom - 1};
        HBRUSH pen = CreateSolidBrush(ink);
        FillRect(dc, &underline, pen);
        DeleteObject(pen);
    }
}

void ChatWindow::OnDraw(HDC dc, const RECT& client)
{
    int width = client.right - client.left;
    if (width <= 0 || m_historyHeight <= 0)
        return;
    HDC surface = m_surface.Get(dc, width, m_historyHeight + 1);
    if (surface == nullptr)
        return;
    RefPtr<skin::Skin> look = skin::CurrentSkin(m_core);
    HGDIOBJ oldFont = look ? SelectObject(surface, look->chatFont.Handle()) : nullptr;
    SIZE letter{};
    GetTextExtentPoint32W(surface, u"A", 1, &letter);
    int lineHeight = std::max<int>(letter.cy, 2);

    TakePending(surface);
    int visible = m_historyHeight / (lineHeight - 1) + 1;
    ReadOlder(surface, visible);
    if (m_historyDone) {
        while (static_cast<std::size_t>(m_scrollOffset + kTopLines) > m_lines.size() && m_scrollOffset > 0)
            --m_scrollOffset;
    }
    DrawLines(surface, width, lineHeight);
    HGDIOBJ oldPen = SelectObject(surface, m_separatorPen);
    MoveToEx(surface, 0, m_historyHeight, nullptr);
    LineTo(surface, width, m_historyHeight);
    SelectObject(surface, oldPen);
    if (oldFont != nullptr)
        SelectObject(surface, oldFont);
    BitBlt(dc, 0, 0, width, m_historyHeight + 1, surface, 0, 0, SRCCOPY);
    UpdateSoftKeys();
}
