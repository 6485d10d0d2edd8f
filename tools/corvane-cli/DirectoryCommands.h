// The console's directory commands, driving a DirectoryQuery as the
// information and search windows do:
//   info UIN [wait SECONDS]
//       prints the twelve fields of the information window, one
//       "Label: text" line each, then "ok info UIN"
//   search uin UIN [wait SECONDS]
//   search [nick X] [first X] [last X] [email X] [city X]
//          [gender female|male] [age 18-22|23-29|30-39|40-49|50-59|60-above]
//          [wait SECONDS]
//       prints "hit UIN "row text"" per hit, then "ok search N hits"
// Values are single words; an underscore stands for a space. The wait is in
// device seconds (default 30). An ICQ error ends the command with
// "error ... ICQ error: TEXT".
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "tools/corvane-cli/CommandRunner.h"

namespace cli {

// Runs "info" or "search" (words[0]) and waits for the complete answer.
CommandResult RunDirectoryCommand(AppCore& core, const std::vector<std::string>& words, std::FILE* out);

// The details the console prints after the name of events 49, 50, 51, 52
// and 56 (for example ` ok last 100004 "Alice (Alice Liddell), 20, Online"`);
// empty for other events.
std::string DirectoryEventDetails(const AppEvent& event);

}  // namespace cli
