#include "app/X11StartupId.h"

#include <QGuiApplication>
#include <QWindow>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

namespace X11StartupId {

namespace {

constexpr std::uint32_t kSourceApplication = 1;
constexpr std::size_t kMessageChunk = 20;  // bytes of one 8-bit client message

xcb_atom_t atom(xcb_connection_t *connection, std::string_view name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t rootOf(xcb_connection_t *connection, xcb_window_t window)
{
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> reply(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr), &std::free);
    return reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
}

void sendToRoot(xcb_connection_t *connection, xcb_window_t root, std::uint32_t mask, const xcb_client_message_event_t &event)
{
    xcb_send_event(connection, 0, root, mask, reinterpret_cast<const char *>(&event));
}

// The message goes out in pieces of 20 bytes, its terminating NUL included.
void broadcast(xcb_connection_t *connection, xcb_window_t root, xcb_window_t sender, const std::string &message)
{
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    const std::string bytes = message + '\0';
    for (std::size_t offset = 0; offset < bytes.size(); offset += kMessageChunk) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = sender;
        event.type = offset == 0 ? begin : more;
        const std::size_t count = std::min(kMessageChunk, bytes.size() - offset);
        std::copy_n(bytes.data() + offset, count, event.data.data8);
        sendToRoot(connection, root, XCB_EVENT_MASK_PROPERTY_CHANGE, event);
    }
}

}  // namespace

std::uint32_t timestamp(std::string_view startupId)
{
    const std::size_t at = startupId.rfind("_TIME");
    if (at == std::string_view::npos)
        return 0;
    const std::string_view digits = startupId.substr(at + 5);
    std::uint32_t time = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), time);
    return error == std::errc() && end == digits.data() + digits.size() ? time : 0;
}

std::string removeMessage(std::string_view startupId)
{
    std::string message = "remove: ID=\"";
    for (const char c : startupId) {
        if (c == '"' || c == '\\')
            message += '\\';
        message += c;
    }
    return message + '"';
}

bool activate(QWindow *window, std::string_view startupId)
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !window)
        return false;
    xcb_connection_t *connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = rootOf(connection, id);
    if (root == XCB_WINDOW_NONE)
        return false;

    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_STARTUP_ID"),
                        atom(connection, "UTF8_STRING"), 8, static_cast<std::uint32_t>(startupId.size()),
                        startupId.data());

    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = atom(connection, "_NET_ACTIVE_WINDOW");
    request.data.data32[0] = kSourceApplication;
    request.data.data32[1] = timestamp(startupId);
    request.data.data32[2] = XCB_WINDOW_NONE;
    sendToRoot(connection, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, request);

    broadcast(connection, root, id, removeMessage(startupId));
    xcb_flush(connection);
    return true;
}

}  // namespace X11StartupId
