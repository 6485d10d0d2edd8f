// The process entry of the program and its start-up pieces.
#pragma once

#include "app/AppCore.h"
#include "platform/base/Types.h"

// Runs the program: single-instance probe, initialisation, windows, AppCore,
// message loop, drain. Returns the process exit code.
int CorvaneMain(HINSTANCE instance, int showCommand);

// True when another instance runs; that instance's main window has then been
// brought to the front.
bool AnotherInstanceRuns();

// Registers the home-screen plug-in's COM class at every start so that the
// registration follows the current program folder.
void RegisterPluginClassAtStart();

class IcqAccount;

// Sends the account's delivered messages to their conversation's history
// and announces incoming ones with the new-message notification.
void ConnectMessageOutlets(AppCore& core, IcqAccount& account);

// What AppCore start builds from the other subsystems.
AppCoreParts BuildAppCoreParts();

// Watches SIGINT and SIGTERM: the first one asks the interface thread to run
// the confirmed-quit path, a second one ends the process at once with code 0.
// Must be called before any other thread starts, so that every thread
// inherits the blocked signals.
void StartSignalWatcher();
