#include "window_class.h"

namespace mirelune::windows {

bool registerWindowClass(HINSTANCE instance, const WindowClass& windowClass) {
    WNDCLASSEXW registered{};
    registered.cbSize = sizeof(registered);
    registered.style = windowClass.style;
    registered.lpfnWndProc = windowClass.procedure;
    registered.hInstance = instance;
    registered.hIcon = windowClass.icon;
    registered.hCursor = windowClass.cursor;
    registered.hbrBackground = windowClass.background;
    registered.lpszClassName = windowClass.name;
    return RegisterClassExW(&registered) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace mirelune::windows
