#pragma once

#include <optional>

// The Caps Lock and Num Lock states for the status bar, asked of the desktop when needed (there is
// no event for them while another program has the keyboard). nullopt where the desktop cannot be
// asked (an X server without the program's xcb support, a headless run).
namespace KeyboardState {

struct Locks
{
    bool capsLock = false;
    bool numLock = false;
};

std::optional<Locks> locks();

} // namespace KeyboardState
