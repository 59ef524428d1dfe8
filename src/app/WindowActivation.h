// Bringing the program's window to the front when another start (or another window of the
// program) asks for it, with the activation token of the start that asked.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace sw::app {

// The activation tokens a desktop hands to a program it starts: XDG_ACTIVATION_TOKEN under
// Wayland, DESKTOP_STARTUP_ID (startup notification) under X11. The toolkit takes them out of
// the environment when it connects to the display, so they are read before that.
struct StartTokens {
    QByteArray xdgActivation;
    QByteArray desktopStartup;
};
StartTokens ReadStartTokens();

// The token of the platform this program shows its windows on (after the application object
// exists); with neither Wayland nor X11, whichever the start had. Under Wayland a start
// without XDG_ACTIVATION_TOKEN hands on its DESKTOP_STARTUP_ID: a launcher with GLib before
// 2.76 (Debian 12's file manager and dock) sets only that, to the token the compositor gave.
QByteArray ActivationToken(const StartTokens& tokens);
QByteArray ActivationToken(const StartTokens& tokens, const QString& platform);

// Tokens longer than this are not passed on (a hand-over message has a size limit).
constexpr int kMaxActivationTokenBytes = 1024;

// Brings `window` forward for a start that handed over its token (empty when it had none):
// a minimised window is restored, and a dialog the window shows comes in front with it.
// Under Wayland the compositor is handed the start's token with the request.
// Under X11 the request names the time the start's token carries, so that a window manager
// preventing focus stealing lets the window come forward for the user's own action, and the
// start's busy cursor is ended, since that start shows no window of its own.
void ActivateWindow(QWidget* window, const QByteArray& token);

// Runs `activate`, the activation of a window, with `token` handed to the toolkit where the
// platform is Wayland: the toolkit's xdg-shell integration (qt6-wayland 6.4 on) activates a
// window with the token it finds in XDG_ACTIVATION_TOKEN and takes it out of the
// environment. Without one it asks the compositor for a token of its own, which a compositor
// preventing focus stealing grants only to the program that has the focus. A token the
// toolkit did not take is not left for the programs this one starts.
void ActivateWithToken(const QString& platform, const QByteArray& token, const std::function<void()>& activate);

// The X server time a startup id carries ("…_TIME1234"), 0 when it carries none.
quint32 StartupIdTime(const QByteArray& id);

// The startup-notification message that ends the start of `id`, as sent to the root window
// (quotes, blanks and backslashes in the id escaped, with the closing NUL byte).
QByteArray StartupRemoveMessage(const QByteArray& id);

}  // namespace sw::app
