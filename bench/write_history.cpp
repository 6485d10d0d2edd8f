// write_history PROGRAM_FOLDER OWN_UIN CONTACT COUNT
// Writes a conversation of COUNT messages in the stored history format into
// the program folder, so that the program itself can be measured paging
// through a long chat. Message i reads "Message i of COUNT" (with a longer
// text every seventh one, so that rows of one and of several lines mix) and
// comes from the contact when i is odd.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/HistoryFiles.h"

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: write_history PROGRAM_FOLDER OWN_UIN CONTACT COUNT\n");
        return 2;
    }
    long long count = std::atoll(argv[4]);
    if (count <= 0) {
        std::fprintf(stderr, "write_history: COUNT must be a positive number\n");
        return 2;
    }
    std::string total = std::to_string(count);
    benchhistory::Write(argv[1], argv[2], argv[3], count, [&](std::int64_t i) {
        std::string text = "Message " + std::to_string(i) + " of " + total;
        if (i % 7 == 3)
            text += ": a longer line that the chat window wraps over more than one row of the screen";
        return WideString(text.begin(), text.end());
    });
    return 0;
}
