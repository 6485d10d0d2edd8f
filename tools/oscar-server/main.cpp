// oscar-server: a local OSCAR (ICQ) server for development, tests and the
// first run. See README.md next to this file.
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "tools/oscar-server/EventLoop.h"
#include "tools/oscar-server/Options.h"

namespace {

oscarserver::EventLoop* g_loop = nullptr;

void OnSignal(int)
{
    if (g_loop != nullptr)
        g_loop->Stop();
}

// The folder of the running program, with a trailing slash.
std::string ProgramFolder()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "./";
    const std::string full(path, static_cast<std::size_t>(n));
    return full.substr(0, full.rfind('/') + 1);
}

bool LoadAccounts(const std::string& path, oscarserver::AccountBook& book)
{
    std::string error;
    std::vector<std::string> warnings;
    const bool loaded = book.LoadFile(path, error, warnings);
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "oscar-server: %s: %s\n", path.c_str(), warning.c_str());
    if (!loaded)
        std::fprintf(stderr, "oscar-server: %s\n", error.c_str());
    return loaded;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace oscarserver;
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error) || options.help) {
        if (!options.help)
            std::fprintf(stderr, "oscar-server: %s\n", error.c_str());
        std::fputs(Usage(), options.help ? stdout : stderr);
        return options.help ? 0 : 2;
    }
    const std::string folder = ProgramFolder();
    AccountBook accounts;
    if (!LoadAccounts(options.accounts.empty() ? folder + "accounts.xml" : options.accounts, accounts))
        return 1;
    DataStore store(options.memoryOnly ? std::string()
                                       : options.data.empty() ? folder + "oscar-server-data" : options.data);
    if (!store.Prepare(error)) {
        std::fprintf(stderr, "oscar-server: %s\n", error.c_str());
        return 1;
    }
    ServerConfig config;
    config.log = options.log;
    Server server(std::move(config), std::move(accounts), std::move(store));
    EventLoop loop(server);
    const std::uint16_t bosPort = options.bosPortGiven || options.loginPort == 0
                                      ? options.bosPort
                                      : static_cast<std::uint16_t>(options.loginPort + 1);
    if (!loop.Listen(options.listen, options.loginPort, bosPort, error)) {
        std::fprintf(stderr, "oscar-server: %s\n", error.c_str());
        return 1;
    }
    const std::string bosHost = !options.bosHost.empty() ? options.bosHost
                                : options.listen == "0.0.0.0" ? "127.0.0.1"
                                                              : options.listen;
    server.SetBosAddress(bosHost + ":" + std::to_string(loop.BosPort()));

    g_loop = &loop;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("oscar-server: listening on %s:%u (BOS %u)\n", options.listen.c_str(), loop.LoginPort(),
                loop.BosPort());
    std::fflush(stdout);
    loop.Run();
    g_loop = nullptr;
    std::printf("oscar-server: stopped\n");
    return 0;
}
