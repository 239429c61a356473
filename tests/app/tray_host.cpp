// A stand-in for a desktop's system tray on a bare X display: it owns the tray selection
// of screen 0, which is all a program looks for before it shows a tray icon, and stays
// until it is killed. Docking requests are left unanswered.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

} // namespace

int main()
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "tray_host: no X display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t owner = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, owner, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selection = atom(connection, "_NET_SYSTEM_TRAY_S0");
    xcb_set_selection_owner(connection, owner, selection, XCB_CURRENT_TIME);

    // Programs already running learn of the new tray from this announcement.
    xcb_client_message_event_t announcement{};
    announcement.response_type = XCB_CLIENT_MESSAGE;
    announcement.format = 32;
    announcement.window = screen->root;
    announcement.type = atom(connection, "MANAGER");
    announcement.data.data32[0] = XCB_CURRENT_TIME;
    announcement.data.data32[1] = selection;
    announcement.data.data32[2] = owner;
    xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&announcement));
    xcb_flush(connection);
    std::printf("ready\n");
    std::fflush(stdout);

    xcb_generic_event_t *event;
    while ((event = xcb_wait_for_event(connection)) != nullptr)
        std::free(event);
    xcb_disconnect(connection);
    return 0;
}
