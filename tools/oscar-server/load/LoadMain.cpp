// oscar-server-load: signs on many clients at once against a running
// oscar-server and has them exchange messages, then prints the time until
// all were online, messages per second, messages lost and (with
// --server-pid) the server's memory.
//
//   oscar-server-load --write-accounts FILE [--clients N] [--base-uin U]
//   oscar-server-load [--host H] [--login-port P] [--clients N] [--messages M]
//                     [--base-uin U] [--server-pid PID]
// Accounts are U, U+1, ... with the password "load".
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <poll.h>
#include <string>
#include <vector>

#include "tools/oscar-server/load/LoadClient.h"

namespace {

using oscarload::Clock;
using oscarload::LoadClient;

struct Settings {
    std::string host = "127.0.0.1";
    std::uint16_t loginPort = 5190;
    std::size_t clients = 200;
    std::size_t messages = 10000;
    std::uint32_t baseUin = 500000;
    std::string writeAccounts;
    std::string serverPid;
};

bool Parse(int argc, char** argv, Settings& settings)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--host")
            settings.host = value;
        else if (name == "--login-port")
            settings.loginPort = static_cast<std::uint16_t>(std::stoul(value));
        else if (name == "--clients")
            settings.clients = std::max<std::size_t>(2, std::stoul(value));
        else if (name == "--messages")
            settings.messages = std::stoul(value);
        else if (name == "--base-uin")
            settings.baseUin = static_cast<std::uint32_t>(std::stoul(value));
        else if (name == "--write-accounts")
            settings.writeAccounts = value;
        else if (name == "--server-pid")
            settings.serverPid = value;
        else
            return false;
    }
    return argc % 2 == 1;
}

bool WriteAccounts(const Settings& settings)
{
    std::ofstream file(settings.writeAccounts);
    file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<accounts>\n";
    for (std::size_t i = 0; i < settings.clients; ++i)
        file << "  <account uin=\"" << settings.baseUin + i << "\" password=\"load\" nick=\"Load" << i << "\"/>\n";
    file << "</accounts>\n";
    return static_cast<bool>(file);
}

// Polls every client once; false when nothing happened for the time-out.
void PollOnce(std::vector<std::unique_ptr<LoadClient>>& clients, int timeoutMs)
{
    std::vector<pollfd> polled;
    for (const auto& client : clients) {
        const bool live = client->CurrentPhase() != LoadClient::Phase::Failed;
        polled.push_back({live ? client->Fd() : -1,
                          static_cast<short>(POLLIN | (client->WantsWrite() ? POLLOUT : 0)), 0});
    }
    ::poll(polled.data(), polled.size(), timeoutMs);
    for (std::size_t i = 0; i < clients.size(); ++i) {
        if (polled[i].revents & POLLIN)
            clients[i]->OnReadable();
        if (clients[i]->WantsWrite())
            clients[i]->OnWritable();
    }
}

std::string ServerMemory(const std::string& pid)
{
    std::ifstream status("/proc/" + pid + "/status");
    std::string line;
    std::string result;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0 || line.rfind("VmHWM:", 0) == 0)
            result += (result.empty() ? "" : ", ") + line;
    }
    return result.empty() ? "unknown" : result;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv)
{
    Settings settings;
    if (!Parse(argc, argv, settings)) {
        std::fputs("usage: oscar-server-load [--write-accounts FILE] [--host H] [--login-port P] [--clients N]\n"
                   "                         [--messages M] [--base-uin U] [--server-pid PID]\n",
                   stderr);
        return 2;
    }
    if (!settings.writeAccounts.empty())
        return WriteAccounts(settings) ? 0 : 1;

    std::vector<std::unique_ptr<LoadClient>> clients;
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < settings.clients; ++i) {
        clients.push_back(std::make_unique<LoadClient>(static_cast<std::uint32_t>(settings.baseUin + i), "load",
                                                       settings.host, settings.loginPort));
        clients.back()->Start();
    }
    const auto phaseIs = [&](LoadClient::Phase phase) {
        return std::count_if(clients.begin(), clients.end(),
                             [&](const auto& c) { return c->CurrentPhase() == phase; });
    };
    while (static_cast<std::size_t>(phaseIs(LoadClient::Phase::Online) + phaseIs(LoadClient::Phase::Failed)) <
               clients.size() &&
           Clock::now() - start < std::chrono::seconds(60))
        PollOnce(clients, 100);
    Clock::time_point lastOnline = start;
    for (const auto& client : clients)
        lastOnline = std::max(lastOnline, client->OnlineAt());
    const std::size_t online = static_cast<std::size_t>(phaseIs(LoadClient::Phase::Online));
    std::printf("clients online: %zu of %zu in %.3f s\n", online, clients.size(), Seconds(lastOnline - start));
    for (const auto& client : clients) {
        if (client->CurrentPhase() == LoadClient::Phase::Failed)
            std::printf("  %u failed: %s\n", client->Uin(), client->Failure().c_str());
    }
    if (online != clients.size())
        return 1;

    // Every client sends its share to the next one, at most `window`
    // unacknowledged at a time.
    constexpr std::size_t window = 8;
    const std::size_t perClient = settings.messages / clients.size();
    const std::size_t total = perClient * clients.size();
    std::vector<std::size_t> sent(clients.size(), 0);
    const Clock::time_point messagesStart = Clock::now();
    std::size_t received = 0;
    while (Clock::now() - messagesStart < std::chrono::seconds(120)) {
        for (std::size_t i = 0; i < clients.size(); ++i) {
            LoadClient& client = *clients[i];
            while (sent[i] < perClient && sent[i] - client.Acknowledged() - client.Errors() < window) {
                const std::uint32_t to = clients[(i + 1) % clients.size()]->Uin();
                client.SendMessage(to, "load message " + std::to_string(sent[i]) + " from " +
                                           std::to_string(client.Uin()));
                ++sent[i];
            }
        }
        PollOnce(clients, 100);
        received = 0;
        for (const auto& client : clients)
            received += client->Received();
        if (received >= total)
            break;
    }
    const double elapsed = Seconds(Clock::now() - messagesStart);
    std::size_t errors = 0;
    for (const auto& client : clients)
        errors += client->Errors();
    std::printf("messages: %zu sent, %zu received, %zu lost, %zu errors in %.3f s (%.0f messages/s)\n", total,
                received, total - std::min(total, received), errors, elapsed,
                elapsed > 0 ? static_cast<double>(received) / elapsed : 0.0);
    if (!settings.serverPid.empty())
        std::printf("server memory: %s\n", ServerMemory(settings.serverPid).c_str());
    return received == total ? 0 : 1;
}
