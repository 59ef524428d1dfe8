// Window activation for another start: restore, raise and activate, and under X11 the
// start's own time and the end of its startup notification.
#include "app/WindowActivation.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstring>

#if defined(SW_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#define SW_ACTIVATE_ON_X11 1
#endif

namespace sw::app {

namespace {

QByteArray Bounded(const QByteArray& token) {
    return token.size() <= kMaxActivationTokenBytes ? token : QByteArray();
}

#ifdef SW_ACTIVATE_ON_X11

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The root window of the screen the window is on.
xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free);
    return geometry ? geometry->root : xcb_window_t{XCB_WINDOW_NONE};
}

void ActivateOnX11(QWidget* target, const QByteArray& token) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || token.isEmpty()) return;
    xcb_connection_t* connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(target->winId());
    const xcb_window_t root = RootOf(connection, window);
    if (root == XCB_WINDOW_NONE) return;

    // The toolkit's own request carries the time of this program's last input, which a
    // window manager preventing focus stealing refuses for a window in the background; the
    // start's time is that of the user's click that started it.
    if (const quint32 time = StartupIdTime(token); time != 0) {
        xcb_client_message_event_t request{};
        request.response_type = XCB_CLIENT_MESSAGE;
        request.format = 32;
        request.window = window;
        request.type = Atom(connection, "_NET_ACTIVE_WINDOW");
        request.data.data32[0] = 1;  // from an application
        request.data.data32[1] = time;
        request.data.data32[2] = XCB_WINDOW_NONE;
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&request));
    }

    // The start ends without a window of its own: its busy cursor ends here, not at the
    // launcher's timeout. The message goes in pieces of 20 bytes, the first of its own type.
    const QByteArray message = StartupRemoveMessage(token);
    const xcb_atom_t begin = Atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = Atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype sent = 0; sent < message.size(); sent += 20) {
        xcb_client_message_event_t piece{};
        piece.response_type = XCB_CLIENT_MESSAGE;
        piece.format = 8;
        piece.window = window;
        piece.type = sent == 0 ? begin : more;
        std::memcpy(piece.data.data8, message.constData() + sent,
                    static_cast<size_t>(std::min<qsizetype>(20, message.size() - sent)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&piece));
    }
    xcb_flush(connection);
}

#endif

}  // namespace

StartTokens ReadStartTokens() {
    return {Bounded(qgetenv("XDG_ACTIVATION_TOKEN")), Bounded(qgetenv("DESKTOP_STARTUP_ID"))};
}

QByteArray ActivationToken(const StartTokens& tokens) {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland"))) return tokens.xdgActivation;
    if (platform == QLatin1String("xcb")) return tokens.desktopStartup;
    return tokens.desktopStartup.isEmpty() ? tokens.xdgActivation : tokens.desktopStartup;
}

quint32 StartupIdTime(const QByteArray& id) {
    const qsizetype at = id.lastIndexOf("_TIME");
    if (at < 0) return 0;
    bool ok = false;
    const qulonglong time = id.mid(at + 5).toULongLong(&ok);
    return ok && time <= 0xFFFFFFFFu ? static_cast<quint32>(time) : 0;
}

QByteArray StartupRemoveMessage(const QByteArray& id) {
    QByteArray value;
    bool quote = id.isEmpty();
    for (char c : id) {
        if (c == ' ' || c == '"' || c == '\\') quote = true;
        if (c == '"' || c == '\\') value += '\\';
        value += c;
    }
    if (quote) value = '"' + value + '"';
    return "remove: ID=" + value + '\0';
}

void ActivateWindow(QWidget* window, const QByteArray& token) {
    if (window->isMinimized()) window->showNormal();
    window->raise();
    window->activateWindow();
    // A dialog the window shows comes to the front with it, and is the one activated.
    QWidget* target = window;
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
        modal->raise();
        modal->activateWindow();
        target = modal;
    }
#ifdef SW_ACTIVATE_ON_X11
    ActivateOnX11(target, token);
#else
    (void)target;
    (void)token;
#endif
    // Under Wayland the compositor alone decides; the token is not handed to it yet.
}

}  // namespace sw::app
