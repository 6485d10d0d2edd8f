#include "app/main/PluginReporter.h"

#include "app/InterfaceStage.h"
#include "home/PluginLink.h"
#include "oscar/SessionEvents.h"

PluginReporter::PluginReporter() { app::AddListener(this); }

PluginReporter::~PluginReporter() { app::RemoveListener(this); }

void PluginReporter::OnEvent(const RefPtr<AppEvent>& event)
{
    switch (event->Type()) {
    case EventType::LoginStatusText:
        if (const auto* status = dynamic_cast<const oscar::StatusTextEvent*>(event.Get()))
            home::TellPlugin(status->Text(), true);
        break;
    case EventType::DataLinkWaiting:
    case EventType::DataLinkDown:
    case EventType::OwnStatusConfirmed:
    case EventType::SessionOffline:
    case EventType::ViewRefresh:
        home::TellPlugin(home::LastToldText(), true);
        break;
    default:
        break;
    }
}
