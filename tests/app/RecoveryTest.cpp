// Recovery copies as the user meets them: the copy follows typing, a signal writes it, the
// next start offers what a window that ended without saving left, and a save cut off in the
// middle of the file is offered back when the file is opened again.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <csignal>

#include "app/Commands.h"
#include "app/ProgramFixture.h"
#include "app/Recovery.h"
#include "model/LabelSetFile.h"
#include "model/RecoveryCopy.h"
#include "model/RecoveryJournal.h"

namespace sw::app {
namespace {

using sw::model::CopyState;
using sw::model::RecoveredDocument;
using sw::model::RecoveryCopy;
using sw::test::FileExists;
using sw::test::ListFolder;
using sw::test::ReadFileBytes;
using sw::test::Sjis;

class Recovery : public sw::test::ProgramFixture {
protected:
    sw::test::TempDir state;
    int endedBy = 0;  // the signal the program was ended on

    void SetUp() override {
        ProgramFixture::SetUp();
        Keep(*program);
    }
    void Keep(Program& p) {
        p.KeepRecoveryCopies(state.path(), [this](int signal) { endedBy = signal; });
    }
    RecoveryKeeper& keeper() { return *program->recovery(); }
    // What the window's copy holds now; nothing when there is none.
    // Key 1 of entry 01 face 1, both lines: the editor wraps what is typed into them.
    static std::string Key1(const sw::model::LabelSet& set) {
        const sw::model::KeyLabel& key = set.Entries[1].Faces[1].Keys[1];
        return key.Line1 + key.Line2;
    }
    std::unique_ptr<sw::model::LabelSet> Copied() {
        if (!keeper().copy().exists()) return nullptr;
        RecoveredDocument document;
        std::string message;
        if (sw::model::ReadRecoveryCopy(ReadFileBytes(keeper().copy().path()), document, message) != CopyState::Whole)
            return nullptr;
        return std::move(document.set);
    }
    void SaveAs(const std::string& name) {
        dialogs.files = {Path(name)};
        w().action("SaveAs1")->trigger();
    }
    // A name typed without an input event of its own: only the copy's other occasions see it.
    void NameQuietly(const char* name) { w().edtName()->setText(QString::fromUtf8(name)); }
    // The program ends the way a crash or kill -9 ends it: nothing is settled or removed.
    void Die() { program.reset(); }
};

TEST_F(Recovery, TheCopyFollowsContinuousTypingWithoutStoringIt) {
    w().OpenKeyEditor();  // position 07: key 1
    auto* memo = w().keyMemo(7);
    // Typing that never pauses: a character every 150 ms for 2.4 s.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; clock.elapsed() < 2400; ++i) {
        QTest::keyClick(memo, static_cast<char>('a' + i % 26));
        QTest::qWait(150);
    }
    std::unique_ptr<sw::model::LabelSet> copied = Copied();
    ASSERT_TRUE(copied) << "no copy while typing went on";
    const QString typed = memo->toPlainText();
    const std::string inCopy = Key1(*copied);
    EXPECT_FALSE(inCopy.empty());
    EXPECT_TRUE(typed.startsWith(QString::fromStdString(inCopy))) << inCopy;

    // Once typing stops the copy catches up with the editor within 2 s.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (copied = Copied()) && Key1(*copied) == typed.toStdString(); },
        2000));
    // The editor still holds its text: neither the document nor the undo record has it.
    EXPECT_EQ(Key1(ws->labelSet), "");
    EXPECT_FALSE(ws->editor.UndoEnabled);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２"));

    // The name being typed, likewise.
    QTest::keyClicks(w().edtName(), "Head office");
    EXPECT_TRUE(QTest::qWaitFor([&] { return (copied = Copied()) && copied->Entries[1].Name == "Head office"; }, 2000));
    EXPECT_EQ(Key1(*copied), typed.toStdString());
    EXPECT_EQ(ws->labelSet.Entries[1].Name, "");
}

TEST_F(Recovery, SigtermAndSighupWriteTheCopyBeforeTheProgramEndsAndItStays) {
    for (int signal : {SIGTERM, SIGHUP}) {
        if (!program) {
            ws = std::make_unique<sw::model::Workspace>();
            program = std::make_unique<Program>(*ws, dialogs, printer);
            Keep(*program);
        }
        endedBy = 0;
        NameQuietly("終了の直前");
        ASSERT_FALSE(keeper().copy().exists());
        ::raise(signal);
        ASSERT_TRUE(QTest::qWaitFor([&] { return endedBy == signal; }, 5000)) << signal;
        std::unique_ptr<sw::model::LabelSet> copied = Copied();
        ASSERT_TRUE(copied) << signal;
        EXPECT_EQ(copied->Entries[1].Name, Sjis("終了の直前"));

        // Whatever the window still does on the way out, the copy stays for the next start.
        const std::string copy = keeper().copy().path();
        dialogs.replies = {Reply::No};  // 変更を保存しますか？
        w().close();
        Die();
        EXPECT_TRUE(FileExists(copy)) << signal;
        ASSERT_EQ(RecoveryCopy::ClaimAbandoned(state.path()).size(), 1u);
        ::unlink(copy.c_str());
    }
}

TEST_F(Recovery, ALiveWindowsCopyIsNeverOfferedAndAGoneOnesIsRestoredOrDropped) {
    NameQuietly("saved name");
    SaveAs("office.stw");
    const sw::model::FileIdentity saved = ws->file;
    ASSERT_TRUE(saved.known());
    NameQuietly("changed, unsaved");
    ASSERT_TRUE(keeper().Update(RecoveryKeeper::Occasion::Screen));
    const std::string copy = keeper().copy().path();

    // A second program, started while the first one runs, offers nothing.
    auto ws2 = std::make_unique<sw::model::Workspace>();
    sw::test::ScriptedDialogs dialogs2;
    auto second = std::make_unique<Program>(*ws2, dialogs2, printer);
    Keep(*second);
    second->OfferRecoveredCopies();
    EXPECT_TRUE(dialogs2.messages.empty());

    // The first one is killed; the next start offers its copy. はい opens it as it was
    // shown, modified, under the name of its file, with that file's identity.
    Die();
    dialogs2.replies = {Reply::Yes};
    second->OfferRecoveredCopies();
    ASSERT_EQ(dialogs2.messages.size(), 1u);
    EXPECT_EQ(dialogs2.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^保存されていない変更が見つかりました（office\\.stw、\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d）。"
                                   "復元しますか？$"))
                    .match(dialogs2.messages[0].text)
                    .hasMatch())
        << dialogs2.messages[0].text.toStdString();
    EXPECT_EQ(second->main().windowTitle(), QStringLiteral("＊Stripwise２＜office.stw＞"));
    EXPECT_EQ(ws2->labelSet.Entries[1].Name, "changed, unsaved");
    EXPECT_EQ(ws2->file.path, saved.path);
    EXPECT_EQ(ws2->file.hash, saved.hash);
    EXPECT_TRUE(ws2->file.SameFile(saved));
    EXPECT_EQ(second->recovery()->copy().path(), copy);  // the copy is this window's now
    // Closing asks about the changes as for any other.
    dialogs2.messages.clear();
    dialogs2.replies = {Reply::Cancel};
    second->main().close();
    ASSERT_FALSE(dialogs2.messages.empty());
    EXPECT_EQ(dialogs2.messages[0].text, QStringLiteral("変更を保存しますか？"));

    // Killed again. キャンセル (Escape, the close box) keeps the copy for a later start;
    // いいえ then removes it, and the new window stays empty.
    second.reset();
    auto ws3 = std::make_unique<sw::model::Workspace>();
    sw::test::ScriptedDialogs dialogs3;
    dialogs3.replies = {Reply::Cancel};
    Program third(*ws3, dialogs3, printer);
    Keep(third);
    third.OfferRecoveredCopies();
    EXPECT_EQ(dialogs3.messages.size(), 1u);
    EXPECT_NE(ListFolder(state.path()), "");
    EXPECT_EQ(ws3->labelSet.Entries[1].Name, "");
    dialogs3.replies = {Reply::No};
    third.OfferRecoveredCopies();
    EXPECT_EQ(dialogs3.messages.size(), 2u);
    EXPECT_EQ(ListFolder(state.path()), "");
    EXPECT_EQ(third.main().windowTitle(), QStringLiteral("Stripwise２"));
    EXPECT_EQ(ws3->labelSet.Entries[1].Name, "");
}

TEST_F(Recovery, ALogoutWhileACopyIsOfferedKeepsTheCopy) {
    NameQuietly("unsaved at logout");
    ASSERT_TRUE(keeper().Update(RecoveryKeeper::Occasion::Screen));
    const std::string copy = keeper().copy().path();
    Die();
    // SIGTERM arrives while the offer is on the screen; the box then closes unanswered,
    // which the message box reports as いいえ.
    struct AskedAtLogout : sw::test::ScriptedDialogs {
        std::function<void()> whileShown;
        Reply Message(QWidget* parent, MessageKind kind, const QString& text, Buttons buttons) override {
            ScriptedDialogs::Message(parent, kind, text, buttons);
            whileShown();
            return Reply::No;
        }
    } asked;
    auto ws2 = std::make_unique<sw::model::Workspace>();
    Program second(*ws2, asked, printer);
    Keep(second);
    asked.whileShown = [&] {
        ::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&] { return endedBy == SIGTERM; }, 5000));
    };
    second.OfferRecoveredCopies();
    EXPECT_EQ(endedBy, SIGTERM);
    ASSERT_EQ(asked.messages.size(), 1u);
    EXPECT_TRUE(FileExists(copy));
}

TEST_F(Recovery, SavingStartingAnewOrQuittingWithoutSavingRemovesTheCopy) {
    const std::pair<const char*, std::function<void()>> settle[] = {
        {"名前を付けて保存", [&] { SaveAs("settled.stw"); }},
        {"新規作成, changes let go", [&] { dialogs.replies = {Reply::No}; w().action("New1")->trigger(); }},
        {"終了, changes let go", [&] { dialogs.replies = {Reply::No}; w().close(); }},
    };
    for (const auto& [what, act] : settle) {
        NameQuietly(what);
        ASSERT_TRUE(keeper().Update(RecoveryKeeper::Occasion::Screen)) << what;
        ASSERT_TRUE(keeper().copy().exists()) << what;
        act();
        EXPECT_FALSE(keeper().copy().exists()) << what;
        EXPECT_EQ(ListFolder(state.path()), "") << what;
    }
}

TEST_F(Recovery, ASaveCutOffInTheMiddleOfTheFileIsOfferedWhenItIsOpenedAgain) {
    auto set = std::make_unique<sw::model::LabelSet>();
    set->Entries[1].Name = "before";
    const std::string old = sw::model::WriteLabelSet(*set);
    set->Entries[1].Name = "after!";
    const std::string next = sw::model::WriteLabelSet(*set);
    const std::string path = cwd.File("shared.stw");
    sw::test::WriteFileBytes(path, old);
    ASSERT_EQ(::link(path.c_str(), cwd.File("linked.stw").c_str()), 0);
    struct stat st {};
    ::stat(path.c_str(), &st);
    std::string journal;
    std::string message;
    ASSERT_TRUE(sw::model::WriteSaveJournal(path, st, next, journal, message)) << message;
    // The program was killed when the first 3 bytes were written.
    sw::test::WriteFileBytes(path, next.substr(0, 3) + old.substr(3));

    // いいえ opens the file as it is; the journal stays and the offer comes again.
    dialogs.replies = {Reply::No};
    program->commands().OpenLabelSetFile(Path("shared.stw"), false);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("前回の保存が途中で止まりました。保存しようとした内容を開きますか？"));
    EXPECT_EQ(ws->labelSet.Entries[1].Name, "aftore");  // torn: "after!" cut into "before"
    EXPECT_TRUE(FileExists(journal));

    // はい opens what was being saved, modified, under the file's name; once the window's
    // copy holds it the journal goes.
    dialogs.messages.clear();
    dialogs.replies = {Reply::Yes};
    program->commands().OpenLabelSetFile(Path("linked.stw"), false);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(ws->labelSet.Entries[1].Name, "after!");
    EXPECT_EQ(w().windowTitle(), QStringLiteral("＊Stripwise２＜linked.stw＞"));
    EXPECT_FALSE(FileExists(journal));
    std::unique_ptr<sw::model::LabelSet> copied = Copied();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->Entries[1].Name, "after!");
    // Saving it over the torn file is no overwriting of someone else's change.
    EXPECT_EQ(sw::model::CompareWithDisk(ws->file, sw::model::kMaxLabelSetFileBytes), sw::model::DiskState::Unchanged);
}

}  // namespace
}  // namespace sw::app
