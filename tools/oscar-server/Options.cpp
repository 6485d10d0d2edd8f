#include "tools/oscar-server/Options.h"

#include <string_view>

#include "tools/oscar-server/Wire.h"

namespace oscarserver {
namespace {

// 0 (any free port) to 65535.
bool ParsePort(std::string_view text, std::uint16_t& out)
{
    std::uint32_t value = 0;
    if (text == "0")
        value = 0;
    else if (!ParseUin(text, value) || value > 0xFFFF)
        return false;
    out = static_cast<std::uint16_t>(value);
    return true;
}

}  // namespace

const char* Usage()
{
    return "usage: oscar-server [--listen ADDR] [--login-port N] [--bos-port N] [--bos-host HOST]\n"
           "                    [--accounts FILE] [--data DIR | --no-data] [--log]\n"
           "  --listen ADDR     IPv4 address to listen on (default 127.0.0.1)\n"
           "  --login-port N    login port (default 5190; 0: any free port)\n"
           "  --bos-port N      BOS port (default: login port + 1; 0 or with login port 0: any free port)\n"
           "  --bos-host HOST   host name given to clients for the BOS port (default: the listen address)\n"
           "  --accounts FILE   accounts file (default: accounts.xml next to the program)\n"
           "  --data DIR        folder for lists and offline messages (default: oscar-server-data next to\n"
           "                    the program); --no-data keeps them in memory only\n"
           "  --log             one line per SNAC in and out on standard error\n";
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--log") {
            options.log = true;
            continue;
        }
        if (name == "--no-data") {
            options.memoryOnly = true;
            continue;
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = "missing value for " + std::string(name);
            return false;
        }
        const std::string_view value = argv[++i];
        if (name == "--listen") {
            options.listen = value;
        } else if (name == "--bos-host") {
            options.bosHost = value;
        } else if (name == "--accounts") {
            options.accounts = value;
        } else if (name == "--data") {
            options.data = value;
        } else if (name == "--login-port" || name == "--bos-port") {
            std::uint16_t& port = name == "--login-port" ? options.loginPort : options.bosPort;
            if (!ParsePort(value, port)) {
                error = "bad port: " + std::string(value);
                return false;
            }
            options.bosPortGiven = options.bosPortGiven || name == "--bos-port";
        } else {
            error = "unknown option: " + std::string(name);
            return false;
        }
    }
    return true;
}

}  // namespace oscarserver
