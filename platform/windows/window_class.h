// The window classes of the saver's windows, registered the one way they all need.
#pragma once

#include <windows.h>

namespace mirelune::windows {

struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure;
    HBRUSH background;
    UINT style = 0;
    HCURSOR cursor = nullptr;  // none: the window sets (or hides) the cursor itself
    HICON icon = nullptr;      // none: the system's default icon
};

// Registers the class for this module. A class registered before (a second window of the same
// kind in one process) counts as registered.
bool registerWindowClass(HINSTANCE instance, const WindowClass& windowClass);

}  // namespace mirelune::windows
