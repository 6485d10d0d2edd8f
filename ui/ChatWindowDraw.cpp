// The chat window's messages area: messages laid out into lines as they come
// (new ones at the newest end, older ones read from the history at the
// oldest end when the view reaches them) and drawn from the bottom up into
// an off-screen surface that is copied to the window in one blit. Only a
// few screens of lines around the view are kept: messages far from it are
// dropped whole and read from the history again when the view comes back.
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

// Screens of lines kept beyond the view on either side: more than the keys
// of one drawing move it, few enough that the memory held stays small.
constexpr int kScreensKept = 4;

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

// Lays out a message at the newest end of the lines kept.
void ChatWindow::KeepNewest(HDC dc, const chat::Message& message, std::int32_t records)
{
    std::vector<chat::Line> lines = LayOut(dc, message);
    // The chosen link stays the same link as lines come in below it.
    if (m_selectedLink)
        m_selectedLink->line += lines.size();
    for (chat::Line& line : lines) {
        m_lines.push_front(std::move(line));
        m_incoming.push_front(message.party >= 1);
    }
    m_spans.push_front({static_cast<int>(lines.size()), records});
    m_keptRecords += records;
}

// Lays out a message at the oldest end: its last line first, since the lines
// are kept from the bottom up.
void ChatWindow::KeepOldest(HDC dc, const chat::Message& message, std::int32_t records)
{
    std::vector<chat::Line> lines = LayOut(dc, message);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        m_lines.push_back(std::move(*line));
        m_incoming.push_back(message.party >= 1);
    }
    m_spans.push_back({static_cast<int>(lines.size()), records});
    m_keptRecords += records;
}

void ChatWindow::TakePending(HDC dc, int visible)
{
    std::vector<Pending> pending = std::move(m_pending);
    m_pending.clear();
    for (Pending& item : pending) {
        switch (item.kind) {
        case PendingKind::Append:
            if (m_newerDropped == 0) {
                KeepNewest(dc, item.message, 1);
                break;
            }
            // Below the lines kept lie dropped messages: this one is read
            // back after them when the view comes down to it. The history
            // holds it already, as it is stored before it is announced.
            ++m_newerDropped;
            if (m_droppedRuns.empty() || m_droppedRuns.front().records != 1)
                m_droppedRuns.push_front({0, 1});
            ++m_droppedRuns.front().count;
            break;
        case PendingKind::Older:
            ++m_scrollOffset;
            break;
        case PendingKind::Newer:
            if (m_scrollOffset == 0)
                ReadNewer(dc, visible, 1);
            if (m_scrollOffset > 0)
                --m_scrollOffset;
            break;
        }
    }
}

// Up to `count` messages from `skip` on, with the records each spans. A page
// that passed damaged records is read again a message at a time, as only
// that tells which message each damaged record lies beside.
ChatWindow::HistoryPage ChatWindow::ReadSpans(std::int32_t skip, std::int32_t count, std::vector<std::int32_t>& spans)
{
    HistoryPage page = ReadHistory(skip, count);
    if (page.busy || page.records == static_cast<std::int32_t>(page.messages.size())) {
        spans.assign(page.messages.size(), 1);
        return page;
    }
    HistoryPage exact;
    std::int32_t at = skip;
    for (std::size_t i = 0; i < page.messages.size(); ++i) {
        HistoryPage one = ReadHistory(at, 1);
        if (one.busy)
            return one;
        if (one.messages.empty() || one.records < 1)
            break;
        spans.push_back(one.records);
        at += one.records;
        exact.messages.push_back(std::move(one.messages.front()));
    }
    exact.records = at - skip;
    return exact;
}

// Reads a screenful of older messages at a time until the view is filled:
// several scroll keys taken in one drawing can move it further than one
// screenful past the lines laid out. A history held by an append is read
// again a moment later; only a page without messages ends the history.
void ChatWindow::ReadOlder(HDC dc, int visible)
{
    while (!m_historyDone && static_cast<std::size_t>(m_scrollOffset + visible) > m_lines.size()) {
        if (!ReadOlderPage(dc, visible))
            return;
    }
}

bool ChatWindow::ReadOlderPage(HDC dc, int visible)
{
    std::vector<std::int32_t> spans;
    HistoryPage older = ReadSpans(m_newerDropped + m_keptRecords, visible, spans);
    if (older.busy) {
        SetTimer(Window(), kHistoryRetryTimer, kHistoryRetryPeriod, nullptr);
        return false;
    }
    if (older.messages.empty()) {
        m_historyDone = true;
        return false;
    }
    // Newest first: each message goes above the ones read before it.
    for (std::size_t i = 0; i < older.messages.size(); ++i)
        KeepOldest(dc, older.messages[i], spans[i]);
    return true;
}

// Reads dropped messages back at the newest end, a page at a time, until
// `until` lines lie below the view; the view stays where it is.
void ChatWindow::ReadNewer(HDC dc, int visible, int until)
{
    while (m_newerDropped > 0 && m_scrollOffset < until) {
        // The dropped messages next to the lines kept, oldest first.
        std::vector<std::int32_t> spans;
        std::int32_t records = 0;
        for (auto run = m_droppedRuns.rbegin(); run != m_droppedRuns.rend() && static_cast<int>(spans.size()) < visible;
             ++run) {
            std::int32_t take = std::min<std::int32_t>(run->count, visible - static_cast<std::int32_t>(spans.size()));
            spans.insert(spans.end(), static_cast<std::size_t>(take), run->records);
            records += take * run->records;
        }
        HistoryPage newer = ReadHistory(m_newerDropped - records, static_cast<std::int32_t>(spans.size()));
        if (newer.busy) {
            SetTimer(Window(), kHistoryRetryTimer, kHistoryRetryPeriod, nullptr);
            return;
        }
        if (newer.messages.size() != spans.size() || newer.records != records) {
            // The history is not what was dropped from it: start again
            // from its newest end.
            ForgetLines();
            return;
        }
        for (std::size_t taken = spans.size(); taken > 0;) {
            DroppedRun& run = m_droppedRuns.back();
            std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(run.count), taken);
            run.count -= static_cast<std::int32_t>(take);
            taken -= take;
            if (run.count == 0)
                m_droppedRuns.pop_back();
        }
        m_newerDropped -= records;
        // The page is newest first: the oldest goes next to the lines kept.
        for (std::size_t i = spans.size(); i > 0; --i) {
            KeepNewest(dc, newer.messages[i - 1], spans[spans.size() - i]);
            m_scrollOffset += m_spans.front().lines;
        }
    }
}

// Keeps the lines held to a few screens on either side of the view, whole
// messages at a time, so that paging through a long conversation holds no
// more memory than paging through a short one.
void ChatWindow::DropFarLines(int visible)
{
    int kept = kScreensKept * visible;
    while (m_spans.size() > 1 && m_scrollOffset - m_spans.front().lines >= kept)
        DropNewestMessage();
    while (m_spans.size() > 1 &&
           static_cast<int>(m_lines.size()) - m_spans.back().lines - (m_scrollOffset + visible) >= kept)
        DropOldestMessage();
}

void ChatWindow::DropNewestMessage()
{
    MessageSpan span = m_spans.front();
    m_spans.pop_front();
    auto lines = static_cast<std::size_t>(span.lines);
    m_lines.erase(m_lines.begin(), m_lines.begin() + static_cast<std::ptrdiff_t>(lines));
    m_incoming.erase(m_incoming.begin(), m_incoming.begin() + static_cast<std::ptrdiff_t>(lines));
    m_scrollOffset -= span.lines;
    m_keptRecords -= span.records;
    m_newerDropped += span.records;
    if (m_droppedRuns.empty() || m_droppedRuns.back().records != span.records)
        m_droppedRuns.push_back({0, span.records});
    ++m_droppedRuns.back().count;
    if (m_selectedLink && m_selectedLink->line < lines)
        m_selectedLink.reset();
    else if (m_selectedLink)
        m_selectedLink->line -= lines;
}

// The oldest message goes; the history is read again from it when the view
// comes back up.
void ChatWindow::DropOldestMessage()
{
    MessageSpan span = m_spans.back();
    m_spans.pop_back();
    auto lines = static_cast<std::size_t>(span.lines);
    m_lines.erase(m_lines.end() - static_cast<std::ptrdiff_t>(lines), m_lines.end());
    m_incoming.erase(m_incoming.end() - static_cast<std::ptrdiff_t>(lines), m_incoming.end());
    m_keptRecords -= span.records;
    m_historyDone = false;
    if (m_selectedLink && m_selectedLink->line >= m_lines.size())
        m_selectedLink.reset();
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

    int visible = m_historyHeight / (lineHeight - 1) + 1;
    TakePending(surface, visible);
    if (m_scrollOffset < visible)
        ReadNewer(surface, visible, 2 * visible);
    ReadOlder(surface, visible);
    if (m_historyDone) {
        while (static_cast<std::size_t>(m_scrollOffset + kTopLines) > m_lines.size() && m_scrollOffset > 0)
            --m_scrollOffset;
    }
    DropFarLines(visible);
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
