// `frmPreview`: the plain placeholder window that owns the platform's password-change
// dialog. Closing it ends the process.
#pragma once

#include <windows.h>

namespace mirelune::windows {

// Creates and shows the window ("Form1", a client area of 3300 x 2130 twips at the default
// place); returns it, or nullptr when it could not be created. Its destruction posts
// WM_QUIT.
HWND showPasswordForm(HINSTANCE instance);

// Opens the password-change dialog for the saver's provider, owned by `form`, and returns
// when it closes; false when the dialog could not be opened at all.
bool openPasswordChange(HWND form);

}  // namespace mirelune::windows
