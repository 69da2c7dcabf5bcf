// The configuration window that "/C" opens: three sliders for the saver's settings, OK to
// save them, Cancel to leave the file alone.
#pragma once

#include <windows.h>

#include "settings_location.h"

namespace mirelune::windows {

// Creates and shows the window, modeless, and returns at once; false when it could not be
// created, in which case nothing is left behind. Once it is shown, its destruction posts
// WM_QUIT, so the process's message loop ends with it.
bool openConfigDialog(HINSTANCE instance, const SettingsLocation& location);

// True when msg went to the configuration window or one of its controls and has been
// handled as a dialog's keyboard input (Tab, arrows, access keys, Enter); the message loop
// must then neither translate nor dispatch it.
bool configDialogMessage(MSG& msg);

}  // namespace mirelune::windows
