// Options: the command line of oscar-server.
#pragma once

#include <cstdint>
#include <string>

namespace oscarserver {

struct Options {
    std::string listen = "127.0.0.1";
    std::uint16_t loginPort = 5190;  // 0: any free port
    bool bosPortGiven = false;
    std::uint16_t bosPort = 0;  // when not given: the login port + 1, or any free port with login port 0
    std::string bosHost;        // address given to clients; default: the listen address
    std::string accounts;       // default: accounts.xml next to the program
    std::string data;           // default: oscar-server-data next to the program
    bool memoryOnly = false;    // --no-data: keep nothing on disk
    bool log = false;
    bool help = false;
};

// False with a message for unknown options and bad values.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);
const char* Usage();

}  // namespace oscarserver
