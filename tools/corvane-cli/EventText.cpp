#include "tools/corvane-cli/EventText.h"

#include <cstdio>
#include <map>

#include "oscar/OnlineStatus.h"
#include "oscar/SessionEvents.h"
#include "oscar/messaging/MessageEvents.h"
#include "platform/base/WideString.h"
#include "tools/corvane-cli/DirectoryCommands.h"

namespace cli {
namespace {

const std::map<std::int32_t, const char*>& EventNames()
{
    static const std::map<std::int32_t, const char*> names = {
        {1, "login-requested"},  {3, "link-waiting"},      {4, "link-up"},          {5, "link-down"},
        {6, "settings-changed"}, {7, "refresh"},           {10, "status-chosen"},   {16, "status"},
        {34, "online"},          {36, "own-status"},       {38, "offline"},         {40, "message"},
        {42, "delivered"},       {44, "not-confirmed"},    {46, "login-rejected"},  {47, "account-changed"},
        {49, "info-basic"},      {50, "info-more"},        {51, "info-notes"},      {52, "protocol-error"},
        {53, "typing"},          {56, "search-hit"},
    };
    return names;
}

std::string Quoted(const WideString& text) { return "\"" + platform::WideToUtf8(text) + "\""; }

}  // namespace

std::string StatusTextOf(const AppEvent& event)
{
    if (const auto* status = dynamic_cast<const oscar::StatusTextEvent*>(&event))
        return platform::WideToUtf8(status->Text());
    return {};
}

std::string DescribeEvent(AppCore& core, const AppEvent& event, WideString& shownError)
{
    std::string line = "event " + std::to_string(event.Type());
    auto name = EventNames().find(event.Type());
    line += ' ';
    line += name != EventNames().end() ? name->second : "other";
    if (const auto* status = dynamic_cast<const oscar::StatusTextEvent*>(&event)) {
        line += ' ' + Quoted(status->Text());
    } else if (const auto* code = dynamic_cast<const oscar::StatusCodeEvent*>(&event)) {
        line += ' ' + std::to_string(code->Code());
        if (event.Type() == EventType::OwnStatusConfirmed || event.Type() == EventType::PresenceChosen)
            line += ' ' + Quoted(OnlineStatus::Text(code->Code()));
    } else if (std::string details = DirectoryEventDetails(event); !details.empty()) {
        line += details;
    } else if (const auto* incoming = dynamic_cast<const oscar::IncomingMessageEvent*>(&event)) {
        const oscar::IncomingMessage& m = *incoming->Message();
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u", m.time.wYear, m.time.wMonth, m.time.wDay,
                      m.time.wHour, m.time.wMinute);
        line += " from " + platform::WideToUtf8(m.sender) + " at " + stamp + ' ' + Quoted(m.text);
    } else if (const auto* delivery = dynamic_cast<const oscar::DeliveryEvent*>(&event)) {
        line += " to " + platform::WideToUtf8(delivery->Uin());
        if (event.Type() == EventType::OwnMessageDelivered)
            line += ' ' + Quoted(delivery->Text());
    } else if (const auto* typing = dynamic_cast<const oscar::TypingEvent*>(&event)) {
        line += " from " + platform::WideToUtf8(typing->Uin()) + ' ' + std::to_string(typing->Notification());
    } else if (event.Type() == EventType::ViewRefresh) {
        // The last error stays set after it was shown; it is printed once,
        // and again only when a different one arrives.
        WideString error = core.LastErrorText();
        if (!error.empty() && error != shownError)
            line += " error=" + Quoted(error);
        shownError = error;
    }
    return line;
}

}  // namespace cli
