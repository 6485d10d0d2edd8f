// Keeps the home-screen plug-in's row in step with the program: on every
// change of the status text or of the connection, and on a view refresh
// (which follows the plug-in's announcement), the state is sent to it.
#pragma once

#include "app/AppEvent.h"

class PluginReporter : public EventListener {
public:
    // Adds itself to the interface stage; removes itself when destroyed.
    PluginReporter();
    ~PluginReporter() override;
    PluginReporter(const PluginReporter&) = delete;
    PluginReporter& operator=(const PluginReporter&) = delete;

    void OnEvent(const RefPtr<AppEvent>& event) override;
};
