// The layout of one chat message into display lines: a header with the time
// and the sender's name (as the settings ask), then the text cut into words,
// spaces, line breaks, smilies and links, wrapped to the width of the
// messages area. Words wider than the whole area are broken over as many
// lines as they need.
//
// The layout knows no window: text widths, smiley matching and smiley
// widths come from the caller, so it runs the same on screen and in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"
#include "skin/smiley/SmileySet.h"

namespace chat {

enum class RunKind : std::uint8_t { Word = 0, LineBreak = 1, Space = 2, Smiley = 3, Link = 4, Header = 5 };

struct Run {
    RunKind kind = RunKind::Word;
    int width = 0;
    WideString text;                // words, links, headers, and the code of a smiley
    RefPtr<skin::Smiley> smiley;  // smiley runs only
    // Links: the whole address (a link broken over lines has one run per
    // line, each with the whole address); set on the pieces after the first.
    WideString target;
    bool continuation = false;
};

using Line = std::vector<Run>;

// A message of the conversation: party 0 is the account itself, 1 the
// contact; other values are not a known party.
struct Message {
    SYSTEMTIME time{};
    std::uint8_t party = 0;
    WideString text;
};

struct LayoutRules {
    // Width in pixels of a text in the chat font.
    std::function<int(std::u16string_view)> measure;
    // The smiley starting at a position; unset when codes stay text.
    std::function<skin::SmileyMatch(std::u16string_view, std::size_t)> matchSmiley;
    // Width in pixels of a smiley's picture.
    std::function<int(const skin::Smiley&)> smileyWidth;
    int width = 0;  // room of a line in pixels
    bool showTime = false;
    bool showNames = false;
    SYSTEMTIME today{};
    WideString contactName;  // the name of party 1; empty when not a contact
};

// "9:05" for a time of `today`'s date, "3.11.06 9:05" otherwise.
WideString TimeText(const SYSTEMTIME& time, const SYSTEMTIME& today);

// The header text ending in ":", or empty when none is shown.
WideString HeaderText(const Message& message, const LayoutRules& rules);

// The message's lines, top to bottom; never empty.
std::vector<Line> LayOut(const Message& message, const LayoutRules& rules);

}  // namespace chat
