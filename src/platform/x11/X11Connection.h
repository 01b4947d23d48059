#pragma once
// What the X11 implementations share: Qt's own connection to the X server, and replies
// that free themselves.

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace vorlix {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

// A reply (or error) that xcb allocated, freed with it.
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

// The connection of Qt's xcb platform; nullptr on any other platform or before the
// application exists.
inline xcb_connection_t* qtX11Connection()
{
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

} // namespace vorlix
