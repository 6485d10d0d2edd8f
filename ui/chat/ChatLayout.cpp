#include "ui/chat/ChatLayout.h"

#include <cstdio>

#include "platform/base/WideString.h"

namespace chat {
namespace {

bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool StartsWithNoCase(std::u16string_view text, std::size_t at, std::u16string_view prefix)
{
    if (text.size() - at < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[at + i]) != prefix[i])
            return false;
    }
    return true;
}

bool LinkStartsAt(std::u16string_view text, std::size_t at)
{
    return StartsWithNoCase(text, at, u"http://") || StartsWithNoCase(text, at, u"https://");
}

// Fills lines run by run, starting a new line where the next run does not fit.
class Wrapper {
public:
    explicit Wrapper(const LayoutRules& rules) : m_rules(rules) { m_lines.emplace_back(); }

    void Text(RunKind kind, std::u16string_view text)
    {
        if (text.empty())
            return;
        int width = m_rules.measure(text);
        if (m_x + width > m_rules.width && m_x > 0)
            NewLine();
        // Cut what is wider than the room left after the longest prefix that
        // fits; at least one character goes on each line so that a line too
        // narrow for any character still ends the loop.
        std::u16string_view whole = kind == RunKind::Link ? text : std::u16string_view();
        bool continuation = false;
        while (m_x + width > m_rules.width) {
            std::size_t cut = FittingPrefix(text);
            Put(kind, text.substr(0, cut), m_rules.measure(text.substr(0, cut)), whole, continuation);
            continuation = true;
            text.remove_prefix(cut);
            if (text.empty())
                return;
            NewLine();
            width = m_rules.measure(text);
        }
        Put(kind, text, width, whole, continuation);
    }

    void Space()
    {
        int width = m_rules.measure(u" ");
        if (m_x + width > m_rules.width && m_x > 0)
            NewLine();
        Put(RunKind::Space, u" ", width);
    }

    void Smiley(const RefPtr<skin::Smiley>& smiley)
    {
        int width = m_rules.smileyWidth ? m_rules.smileyWidth(*smiley) : 0;
        if (m_x + width > m_rules.width && m_x > 0)
            NewLine();
        Run run{RunKind::Smiley, width, smiley->Code(), smiley, {}, false};
        m_lines.back().push_back(std::move(run));
        m_x += width;
    }

    void NewLine()
    {
        m_lines.emplace_back();
        m_x = 0;
    }

    std::vector<Line> Take() { return std::move(m_lines); }

private:
    void Put(RunKind kind, std::u16string_view text, int width, std::u16string_view target = {},
             bool continuation = false)
    {
        m_lines.back().push_back(Run{kind, width, WideString(text), nullptr, WideString(target), continuation});
        m_x += width;
    }

    std::size_t FittingPrefix(std::u16string_view text) const
    {
        std::size_t fits = 0;
        for (std::size_t n = 1; n <= text.size(); ++n) {
            // A surrogate pair stays whole.
            if (n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF)
                continue;
            if (m_x + m_rules.measure(text.substr(0, n)) > m_rules.width)
                break;
            fits = n;
        }
        if (fits == 0) {
            fits = 1;
            if (text.size() > 1 && text[0] >= 0xD800 && text[0] <= 0xDBFF)
                fits = 2;
        }
        return fits;
    }

    const LayoutRules& m_rules;
    std::vector<Line> m_lines;
    int m_x = 0;
};

}  // namespace

WideString TimeText(const SYSTEMTIME& time, const SYSTEMTIME& today)
{
    char buffer[48];
    if (time.wDay == today.wDay && time.wMonth == today.wMonth && time.wYear == today.wYear)
        std::snprintf(buffer, sizeof buffer, "%d:%02d", time.wHour, time.wMinute);
    else
        std::snprintf(buffer, sizeof buffer, "%d.%02d.%02d %d:%02d", time.wDay, time.wMonth, time.wYear % 100,
                      time.wHour, time.wMinute);
    return platform::Utf8ToWide(buffer);
}

WideString HeaderText(const Message& message, const LayoutRules& rules)
{
    const bool validParty = message.party <= 1;
    WideString name = message.party == 0 ? WideString(u"You") : rules.contactName;
    if (rules.showTime && rules.showNames)
        return TimeText(message.time, rules.today) + u" " + (validParty ? name : WideString()) + u":";
    if (rules.showTime)
        return TimeText(message.time, rules.today) + u":";
    if (rules.showNames && validParty)
        return name + u":";
    return {};
}

std::vector<Line> LayOut(const Message& message, const LayoutRules& rules)
{
    Wrapper wrapper(rules);
    if (WideString header = HeaderText(message, rules); !header.empty()) {
        wrapper.Text(RunKind::Header, header);
        wrapper.Space();
    }
    std::u16string_view text = message.text;
    std::size_t wordStart = 0;
    std::size_t i = 0;
    auto endWord = [&] {
        wrapper.Text(RunKind::Word, text.substr(wordStart, i - wordStart));
    };
    while (i < text.size()) {
        char16_t c = text[i];
        if (IsLineEnd(c)) {
            endWord();
            wrapper.NewLine();
            ++i;
            if (c == u'\r') {
                while (i < text.size() && text[i] == u'\n')
                    ++i;
            }
            wordStart = i;
        } else if (c == u' ') {
            endWord();
            wrapper.Space();
            wordStart = ++i;
        } else if ((c == u'h' || c == u'H') && LinkStartsAt(text, i)) {
            endWord();
            std::size_t end = i;
            while (end < text.size() && text[end] != u' ' && !IsLineEnd(text[end]))
                ++end;
            wrapper.Text(RunKind::Link, text.substr(i, end - i));
            wordStart = i = end;
        } else if (skin::SmileyMatch match = rules.matchSmiley ? rules.matchSmiley(text, i) : skin::SmileyMatch{};
                   match.smiley && match.walked > 0) {
            endWord();
            wrapper.Smiley(match.smiley);
            wordStart = i = i + match.walked;
        } else {
            ++i;
        }
    }
    endWord();
    return wrapper.Take();
}

}  // namespace chat
