// Process entry of the program on the simulated device.
#include "app/main/Entry.h"
#include "platform/win/Window.h"

int main()
{
    StartSignalWatcher();
    return CorvaneMain(GetModuleHandleW(nullptr), SW_SHOW);
}
