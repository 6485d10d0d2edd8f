// Choosing a link among the lines in view with one key: the newest link
// first, each further press the next older one, round again after the
// oldest. A link broken over several lines counts once, by its first piece.
//
// Lines are indexed newest first, as the chat window keeps them.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "ui/chat/ChatLayout.h"

namespace chat {

struct LinkAt {
    std::size_t line = 0;
    std::size_t run = 0;
    bool operator==(const LinkAt&) const = default;
};

// The links with a piece on lines [first, first + count), newest first
// (lines from the bottom up, runs from right to left), each by its first piece.
std::vector<LinkAt> LinksInView(const std::deque<Line>& lines, std::size_t first, std::size_t count);

// The link after `current` in that order, wrapping; the newest in view when
// `current` is none or out of view; none when no link is in view.
std::optional<LinkAt> NextLink(const std::deque<Line>& lines, std::size_t first, std::size_t count,
                               std::optional<LinkAt> current);

// The runs of the link whose first piece is `start`: it and the pieces that
// continue it on the newer lines below.
std::vector<LinkAt> PiecesOf(const std::deque<Line>& lines, LinkAt start);

}  // namespace chat
