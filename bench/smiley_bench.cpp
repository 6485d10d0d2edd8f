// Smilies: building the code trie for 1,000 codes, reading the program's
// picture set, and finding smilies in 1 MB of chat text as the message
// layout does (a match tried at every position) against a plain scan of the
// same text that only looks at every character once.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/base/WideString.h"
#include "skin/smiley/SmileySet.h"
#include "skin/smiley/SmileyTrie.h"

namespace {

WideString Assets() { return platform::Utf8ToWide(std::string(CORVANE_SOURCE_DIR) + "/assets"); }

std::vector<std::u16string> ThousandCodes()
{
    std::vector<std::u16string> codes;
    const std::u16string eyes = u":;=8BX]>";
    const std::u16string mouths = u")(DPpO|*$S&/";
    for (int i = 0; codes.size() < 1000; ++i) {
        std::u16string code;
        code += eyes[static_cast<std::size_t>(i) % eyes.size()];
        if (i % 3 == 1)
            code += u'-';
        code += mouths[static_cast<std::size_t>(i / 3) % mouths.size()];
        for (int k = i / 96; k > 0; k /= 4)
            code += static_cast<char16_t>(u'a' + k % 4);
        codes.push_back(code);
    }
    return codes;
}

// Chat lines with a smiley every few words.
std::u16string ChatText(std::size_t characters)
{
    const std::vector<std::u16string> words = {u"hello ", u"see you at 8 ", u":) ", u"that was fun ", u";-) ",
                                               u"no way ", u":D ", u"(y) ", u"http://x.example/a:b ", u"ok\r\n"};
    std::u16string text;
    for (std::size_t i = 0; text.size() < characters; ++i)
        text += words[(i * 7) % words.size()];
    text.resize(characters);
    return text;
}

void BM_BuildTrieOf1000Codes(benchmark::State& state)
{
    std::vector<std::u16string> codes = ThousandCodes();
    for (auto _ : state) {
        skin::SmileyTrie trie;
        for (std::size_t i = 0; i < codes.size(); ++i)
            trie.Insert(codes[i], static_cast<std::uint32_t>(i));
        benchmark::DoNotOptimize(trie.NodeCount());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
}
BENCHMARK(BM_BuildTrieOf1000Codes);

void BM_LoadTheProgramsPictureSet(benchmark::State& state)
{
    for (auto _ : state) {
        RefPtr<skin::SmileySet> set = MakeRef<skin::SmileySet>(u"Default.Smilies.xml", Assets());
        benchmark::DoNotOptimize(set->Count());
    }
}
BENCHMARK(BM_LoadTheProgramsPictureSet);

void BM_FindSmiliesIn1MBOfChat(benchmark::State& state)
{
    RefPtr<skin::SmileySet> set = MakeRef<skin::SmileySet>(u"Default.Smilies.xml", Assets());
    set->Load();
    std::u16string text = ChatText(1 << 19);  // 1 MB of UTF-16
    for (auto _ : state) {
        std::size_t found = 0;
        for (std::size_t i = 0; i < text.size();) {
            skin::SmileyMatch match = set->Match(text, i);
            if (match.smiley) {
                ++found;
                i += match.walked;
            } else {
                ++i;
            }
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size() * 2));
}
BENCHMARK(BM_FindSmiliesIn1MBOfChat);

// The floor: every character looked at once (line breaks counted).
void BM_PlainScanOf1MBOfChat(benchmark::State& state)
{
    std::u16string text = ChatText(1 << 19);
    for (auto _ : state) {
        std::size_t breaks = 0;
        for (char16_t c : text)
            breaks += c == u'\r' ? 1 : 0;
        benchmark::DoNotOptimize(breaks);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size() * 2));
}
BENCHMARK(BM_PlainScanOf1MBOfChat);

}  // namespace

BENCHMARK_MAIN();
