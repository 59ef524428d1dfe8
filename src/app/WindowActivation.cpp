// Window activation for another start: restore, raise and activate, under Wayland with the
// start's token, and under X11 with the start's own time and the end of its startup
// notification.
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
    return ActivationToken(tokens, QGuiApplication::platformName());
}

QByteArray ActivationToken(const StartTokens& tokens, const QString& platform) {
    if (platform.startsWith(QLatin1String("wayland")))
        return tokens.xdgActivation.isEmpty() ? tokens.desktopStartup : tokens.xdgActivation;
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

void ActivateWithToken(const QString& platform, const QByteArray& token, const std::function<void()>& activate) {
    static const char* const kVariable = "XDG_ACTIVATION_TOKEN";
    if (token.isEmpty() || !platform.startsWith(QLatin1String("wayland"))) return activate();
    const bool hadOwn = qEnvironmentVariableIsSet(kVariable);
    const QByteArray own = qgetenv(kVariable);
    qputenv(kVariable, token);
    activate();
    // Still there: no window was activated (hidden, or a compositor without xdg-activation).
    if (qgetenv(kVariable) != token) return;
    if (hadOwn)
        qputenv(kVariable, own);
    else
        qunsetenv(kVariable);
}

void ActivateWindow(QWidget* window, const QByteArray& token) {
    if (window->isMinimized()) window->showNormal();
    const QString platform = QGuiApplication::platformName();
    // A dialog the window shows comes to the front with it, and is the one activated.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == window) modal = nullptr;
    QWidget* target = modal ? modal : window;
    window->raise();
    if (modal) {
        // Under Wayland an activation without the start's token asks the compositor for a
        // token, whose answer, coming later, would activate the window over its dialog.
        if (!platform.startsWith(QLatin1String("wayland"))) window->activateWindow();
        modal->raise();
    }
    ActivateWithToken(platform, token, [target] { target->activateWindow(); });
#ifdef SW_ACTIVATE_ON_X11
    ActivateOnX11(target, token);
#endif
}

}  // namespace sw::app
