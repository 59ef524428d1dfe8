// Recovery copies of the window: the periodic copy, the copy on a signal or at the end of the
// session, and the offer at the start.
#include "app/Recovery.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>

#include "app/Commands.h"
#include "app/UnsavedChanges.h"
#include "dialogs/Dialogs.h"
#include "editor/TfrmMain.h"
#include "model/LabelSetFile.h"

namespace sw::app {

namespace {

QString Decoded(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace

RecoveryKeeper::RecoveryKeeper(sw::editor::TfrmMain& window, UnsavedChanges& changes, Dialogs& dialogs,
                               std::string folder, QObject* parent)
    : QObject(parent), m_window(window), m_changes(changes), m_dialogs(dialogs), m_copy(std::move(folder)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { Update(Occasion::Screen); });
    // Saved, opened or new: nothing is unsaved any more.
    m_changes.SetSavedListener([this] { Forget(); });
    QCoreApplication::instance()->installEventFilter(this);
}

RecoveryKeeper::~RecoveryKeeper() { m_changes.SetSavedListener(nullptr); }

void RecoveryKeeper::Forget() {
    m_copy.Remove();
    m_written.reset();
}

bool RecoveryKeeper::eventFilter(QObject* watched, QEvent* event) {
    // A timer that input starts and later input does not restart: continuous typing is
    // copied too, at most one interval after it began.
    if (!m_closed && !m_timer.isActive() && IsUserInput(event->type())) m_timer.start();
    return QObject::eventFilter(watched, event);
}

bool RecoveryKeeper::Update(Occasion occasion) {
    if (m_closed) return false;
    m_timer.stop();
    std::unique_ptr<sw::model::LabelSet> shown = m_window.DocumentAsShown();
    if (!m_changes.Modified() && *shown == m_changes.saved()) {
        Forget();
        return true;
    }
    const sw::model::FileIdentity& file = m_window.workspace().file;
    const bool durable = occasion == Occasion::Ending;
    if (m_copy.exists() && !durable && m_written && *m_written == *shown && m_writtenFile == file)
        return true;
    std::string message;
    if (m_copy.Write(*shown, file, static_cast<std::int64_t>(std::time(nullptr)), durable, message)) {
        m_written = std::move(shown);
        m_writtenFile = file;
        m_failureTold = false;
        return true;
    }
    if (occasion == Occasion::Ending) {
        std::fprintf(stderr, "stripwise2: %s\n", message.c_str());
    } else if (!m_failureTold) {
        // Told once until a copy succeeds again; the typing goes on meanwhile.
        m_failureTold = true;
        m_dialogs.Message(&m_window, MessageKind::Error,
                          QStringLiteral("復元用のコピーを書き込めません。保存するまで、プログラムが止まると"
                                         "変更は失われます。\n%1")
                              .arg(QString::fromStdString(message)),
                          Buttons::Ok);
    }
    return false;
}

void RecoveryKeeper::WindowClosing() {
    if (!m_keep) Forget();
    m_closed = true;
    m_timer.stop();
}

void RecoveryKeeper::ProgramEnding() {
    if (!m_closed) Update(Occasion::Ending);
    m_closed = true;
}

void RecoveryKeeper::Adopt(sw::model::RecoveryCopy copy) {
    m_copy.Remove();
    m_copy = std::move(copy);
    m_written.reset();  // rewritten as it is shown at the next input
}

// The write end of the pipe the signal handler writes to; the handler may touch nothing else.
namespace {

int g_signalPipe[2] = {-1, -1};
constexpr int kTerminationSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void OnTerminationSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t ignored = ::write(g_signalPipe[1], &number, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)) {
    if (g_signalPipe[0] < 0 && ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("stripwise2: no pipe for signals");
        return;
    }
    m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        while (::read(g_signalPipe[0], &number, 1) == 1)
            if (m_handler) m_handler(number);
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kTerminationSignals) ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : kTerminationSignals) ::sigaction(signal, &action, nullptr);
}

void OfferRecoveredCopies(Commands& commands, RecoveryKeeper& keeper, Dialogs& dialogs, QWidget* parent) {
    for (sw::model::RecoveryCopy& copy : sw::model::RecoveryCopy::ClaimAbandoned(keeper.folder())) {
        sw::model::RecoveredDocument document;
        std::string message;
        switch (copy.Read(document, message)) {
        case sw::model::CopyState::Empty:
            copy.Remove();
            continue;
        case sw::model::CopyState::Damaged:
            dialogs.Message(parent, MessageKind::Error,
                            QStringLiteral("復元用のコピーを読み込めません。ファイルはそのまま残します。\n%1")
                                .arg(QString::fromStdString(message)),
                            Buttons::Ok);
            continue;
        case sw::model::CopyState::Whole:
            break;
        }
        const std::string name = sw::model::TitleFileName(document.file.path);
        const QString shownName = name.empty() ? QStringLiteral("無題") : Decoded(name);
        const QString when = QDateTime::fromSecsSinceEpoch(document.savedAt).toString(QStringLiteral("yyyy/MM/dd HH:mm"));
        const Reply reply = dialogs.Message(
            parent, MessageKind::Confirmation,
            QStringLiteral("保存されていない変更が見つかりました（%1、%2）。復元しますか？").arg(shownName, when),
            Buttons::YesNoCancel);
        // Told to end while it asked (a logout): the box closed without an answer, and
        // this copy, like the rest, stays for the next start.
        if (keeper.keptForNextStart()) return;
        // キャンセル, Escape or the close box decide nothing: the copy stays for a later start.
        if (reply == Reply::Cancel) continue;
        if (reply == Reply::Yes) {
            // Cancelled: the copy stays for a later start.
            if (commands.RestoreRecoveredCopy(std::move(document))) keeper.Adopt(std::move(copy));
            return;
        }
        copy.Remove();
    }
}

}  // namespace sw::app
