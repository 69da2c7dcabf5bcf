// Functions of system libraries looked up at run time, for the ones that do not exist on every
// system the saver runs on: the 95 family's password services, the per-DPI functions of
// Windows 10, the session notifications.
#pragma once

#include <windows.h>

namespace mirelune::windows {

// The function `name` of `library`, of type Function (a function type, not a pointer), or
// nullptr when the library or the function is missing. The library stays loaded for the rest
// of the process: a function once found must remain callable.
template <typename Function>
Function* systemFunction(const wchar_t* library, const char* name) {
    const HMODULE module = LoadLibraryW(library);
    if (module == nullptr) return nullptr;
    // Through the generic function pointer type, which converts to any other one.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace mirelune::windows
