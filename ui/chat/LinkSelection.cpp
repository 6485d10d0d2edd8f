#include "ui/chat/LinkSelection.h"

#include <algorithm>

namespace chat {
namespace {

bool IsLink(const std::deque<Line>& lines, LinkAt at)
{
    return at.line < lines.size() && at.run < lines[at.line].size() && lines[at.line][at.run].kind == RunKind::Link;
}

// The first piece of the link that the piece `at` belongs to: a continuation
// sits first on its line, and its previous piece last on the older line above.
LinkAt StartOf(const std::deque<Line>& lines, LinkAt at)
{
    while (lines[at.line][at.run].continuation && at.line + 1 < lines.size() && !lines[at.line + 1].empty() &&
           lines[at.line + 1].back().kind == RunKind::Link) {
        at = LinkAt{at.line + 1, lines[at.line + 1].size() - 1};
    }
    return at;
}

}  // namespace

std::vector<LinkAt> LinksInView(const std::deque<Line>& lines, std::size_t first, std::size_t count)
{
    std::vector<LinkAt> links;
    std::size_t end = std::min(lines.size(), first + count);
    for (std::size_t line = first; line < end; ++line) {
        for (std::size_t run = lines[line].size(); run-- > 0;) {
            if (lines[line][run].kind != RunKind::Link)
                continue;
            LinkAt start = StartOf(lines, LinkAt{line, run});
            if (std::find(links.begin(), links.end(), start) == links.end())
                links.push_back(start);
        }
    }
    return links;
}

std::optional<LinkAt> NextLink(const std::deque<Line>& lines, std::size_t first, std::size_t count,
                               std::optional<LinkAt> current)
{
    std::vector<LinkAt> links = LinksInView(lines, first, count);
    if (links.empty())
        return std::nullopt;
    auto it = current ? std::find(links.begin(), links.end(), *current) : links.end();
    if (it == links.end() || ++it == links.end())
        return links.front();
    return *it;
}

std::vector<LinkAt> PiecesOf(const std::deque<Line>& lines, LinkAt start)
{
    std::vector<LinkAt> pieces;
    if (!IsLink(lines, start))
        return pieces;
    pieces.push_back(start);
    for (std::size_t line = start.line; line-- > 0;) {
        if (lines[line].empty() || lines[line].front().kind != RunKind::Link || !lines[line].front().continuation)
            break;
        pieces.push_back(LinkAt{line, 0});
    }
    return pieces;
}

}  // namespace chat
