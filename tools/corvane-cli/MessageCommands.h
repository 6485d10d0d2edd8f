// The console's messaging commands:
//   msg UIN TEXT...                 send a message (signed on)
//   typing UIN start|pause|stop     send a typing notice (2, 1, 0)
//   history UIN [SKIP [COUNT]]      read a page of the conversation, newest first
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/AppCore.h"

namespace cli {

// True when the word names one of these commands.
bool IsMessageCommand(const std::string& word);

// Runs one; false after printing an error.
bool RunMessageCommand(AppCore& core, const std::vector<std::string>& words, std::FILE* out);

}  // namespace cli
