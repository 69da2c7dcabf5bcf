// Mirelune.scr: started by Windows' screen-saver settings with "/S", "/P <window>", "/C" or
// "/A" (or nothing), it runs the matching mode and lives in its windows until they close.
#include <windows.h>

#include "host/startup.h"
#include "modes.h"
#include "win_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace mirelune;
    windows::WinPlatform platform;
    HostContext context(seedClockOf(platform));
    windows::WindowsModes modes(instance, context, platform);
    if (hostMain(context, platform, modes) == RunMode::None) return 0;
    return modes.run();
}
