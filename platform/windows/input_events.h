// The window messages that the saver's exit rules look at, as the rules name them.
#pragma once

#include <windows.h>

#include <optional>

#include "host/saver_session.h"

namespace mirelune::windows {

// A click counts when any button is released; keys count on the way down and as characters.
inline std::optional<InputEvent> inputEventOf(UINT message) {
    switch (message) {
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            return InputEvent::Click;
        case WM_LBUTTONDBLCLK:
            return InputEvent::DoubleClick;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return InputEvent::KeyDown;
        case WM_CHAR:
            return InputEvent::KeyPress;
        case WM_MOUSEMOVE:
            return InputEvent::MouseMove;
        default:
            return std::nullopt;
    }
}

}  // namespace mirelune::windows
