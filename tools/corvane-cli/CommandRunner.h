// The console's commands, read one per line:
//   account UIN PASSWORD [HOST:PORT[,HOST:PORT...]]
//   status online|away|na|occupied|dnd|free|invisible|offline
//   wait-for TEXT|event N [SECONDS]     (device seconds, default 30)
//   wait-for online|offline UIN [SECONDS]  until the contact is (not) offline
//   (each event satisfies one wait; events that came before the wait count)
//   sleep SECONDS                       (device seconds)
//   list
//   add UIN NICKNAME GROUP [noauth]     (GROUP: id or name)
//   move UIN GROUP
//   rename UIN NICKNAME [noauth]
//   delete UIN
//   add-to-list UIN
//   auth-request UIN [REASON...]
//   auth-grant UIN
//   msg UIN TEXT | resend UIN | discard UIN | typing UIN start|stop | history UIN [SKIP [COUNT]]
//   info UIN [wait SECONDS] | search ...
//   help
//   quit
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <cstdio>
#include <string>

#include "app/AppCore.h"
#include "tools/corvane-cli/ConsoleListener.h"

namespace cli {

enum class CommandResult { Continue, Quit, Failed };

class CommandRunner {
public:
    CommandRunner(AppCore& core, ConsoleListener& listener, std::FILE* out)
        : m_core(core), m_listener(listener), m_out(out)
    {
    }

    CommandResult Run(const std::string& line);

private:
    CommandResult Account(const std::vector<std::string>& words);
    CommandResult Status(const std::vector<std::string>& words);
    CommandResult WaitFor(const std::vector<std::string>& words);
    CommandResult WaitForPresence(const std::vector<std::string>& words);
    CommandResult Help();
    CommandResult SleepFor(const std::vector<std::string>& words);
    CommandResult List();
    CommandResult ListCommand(const std::vector<std::string>& words);
    CommandResult Fail(const std::string& message);

    AppCore& m_core;
    ConsoleListener& m_listener;
    std::FILE* m_out;
};

// The status code a word names, or false for an unknown word.
bool StatusFromWord(const std::string& word, std::int32_t& status);

}  // namespace cli
