#include "texted/keyboardstate.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(QY2_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#endif

namespace KeyboardState {

std::optional<Locks> locks()
{
#if defined(Q_OS_WIN)
    return Locks { (GetKeyState(VK_CAPITAL) & 1) != 0, (GetKeyState(VK_NUMLOCK) & 1) != 0 };
#elif defined(QY2_HAVE_XCB)
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return std::nullopt;
    // The pointer query also reports the modifier state, locked modifiers included: Lock is Caps
    // Lock, and Num Lock is the second modifier on every common keyboard map.
    const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&free)> reply(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr), &free);
    if (!reply)
        return std::nullopt;
    return Locks { (reply->mask & XCB_MOD_MASK_LOCK) != 0, (reply->mask & XCB_MOD_MASK_2) != 0 };
#else
    return std::nullopt;
#endif
}

} // namespace KeyboardState
