// The program in the desktop: menu keys, recent files, files dropped on the window, the
// installed help guide and a settings file that cannot be written.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include "app/Commands.h"
#include "app/ProgramFixture.h"
#include "editor/TfrmMain.h"
#include "model/IniFile.h"
#include "model/LabelSetFile.h"
#include "model/Settings.h"
#include "support/TempDir.h"

namespace sw::app {
namespace {

using sw::test::Sjis;

class Desktop : public sw::test::ProgramFixture {
protected:
    sw::model::KeyLabel& Key(int k) { return ws->labelSet.Entries[1].Faces[1].Keys[k]; }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QApplication::processEvents();
    }
    // A label set whose entry 1 carries `name`.
    QString WriteSet(const std::string& file, const char* name) {
        auto set = std::make_unique<sw::model::LabelSet>();
        set->Entries[1].Name = Sjis(name);
        sw::test::WriteFileBytes(cwd.File(file), sw::model::WriteLabelSet(*set));
        return QString::fromStdString(cwd.File(file));
    }
    void Drop(QWidget* target, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QTest::qWait(50);
    }
};

TEST_F(Desktop, MenuKeysRunTheirCommandsAndCtrlCStaysWithTheKeys) {
    const std::pair<const char*, const char*> shown[] = {{"New1", "Ctrl+N"},   {"Open1", "Ctrl+O"},
                                                         {"SaveAs1", "Ctrl+S"}, {"Print1", "Ctrl+P"},
                                                         {"de1", "F1"},         {"Exit1", "Ctrl+Q"},
                                                         {"Undo1", "Ctrl+Z"}};
    for (const auto& [name, key] : shown)
        EXPECT_EQ(w().action(QString::fromLatin1(name))->shortcut().toString(), QString::fromLatin1(key)) << name;
    for (QAction* a : w().findChildren<QAction*>()) {
        for (const char* taken : {"Ctrl+C", "Ctrl+X", "Ctrl+V", "Ctrl+U"})
            EXPECT_NE(a->shortcut().toString(), QString::fromLatin1(taken)) << a->objectName().toStdString();
    }

    Key(1).Line1 = "K1";
    w().ShowFace();
    w().edtName()->setFocus();
    QTest::qWait(20);
    ASSERT_EQ(QApplication::focusWidget(), w().edtName());
    ASSERT_FALSE(ws->editor.MemoFocused);
    Press(Qt::Key_C);  // copies key 1, as before
    EXPECT_TRUE(ws->editor.PasteEnabled);
    // Ctrl+Z undoes a paste as Ctrl+U does, from a field with nothing typed to undo.
    w().SelectKey(8);  // key 2 under the 18-key model
    w().edtName()->setFocus();
    QTest::qWait(20);
    Press(Qt::Key_V);
    ASSERT_EQ(Key(2).Line1, "K1");
    Press(Qt::Key_Z);
    EXPECT_EQ(Key(2).Line1, "");

    // Ctrl+S saves under a chosen name.
    dialogs.files = {QString::fromStdString(cwd.File("keys.stw"))};
    Press(Qt::Key_S);
    EXPECT_EQ(Messages(), QStringList{"保存が終了しました。"});
    EXPECT_TRUE(sw::test::FileExists(cwd.File("keys.stw")));
    EXPECT_TRUE(w().windowTitle().endsWith(QStringLiteral("＜keys.stw＞")));
}

TEST_F(Desktop, TheLastFiveLabelSetsAreUnderFileAndOpenFromThere) {
    for (int n = 1; n <= 6; ++n) {
        dialogs.files = {QString::fromStdString(cwd.File("set" + std::to_string(n) + ".stw"))};
        w().action("SaveAs1")->trigger();
    }
    QStringList items;
    for (int n = 1; n <= sw::model::kRecentFileCount; ++n) {
        QAction* a = w().action(QStringLiteral("Recent%1").arg(n));
        if (a->isVisible()) items << a->text();
    }
    EXPECT_EQ(items, (QStringList{"&1 set6.stw", "&2 set5.stw", "&3 set4.stw", "&4 set3.stw", "&5 set2.stw"}));
    // Kept in the settings file, for the next start.
    EXPECT_EQ(sw::model::ReadIniString(cwd.File("Stripwise2.ini"), "Recent", "File5", ""), cwd.File("set2.stw"));

    const QString other = WriteSet("other.stw", "支店");
    dialogs.files = {other};
    w().action("Open1")->trigger();
    EXPECT_EQ(w().action("Recent1")->text(), QStringLiteral("&1 other.stw"));

    dialogs.messages.clear();
    w().action("Recent3")->trigger();  // set5.stw
    EXPECT_EQ(Messages(), QStringList{"読込が終了しました。"});
    EXPECT_TRUE(w().windowTitle().endsWith(QStringLiteral("＜set5.stw＞")));
    EXPECT_EQ(w().action("Recent1")->text(), QStringLiteral("&1 set5.stw"));
}

TEST_F(Desktop, ALabelSetDroppedOnTheWindowOpensAfterTheUnsavedQuestion) {
    const QString file = WriteSet("dropped.stw", "本社");
    ws->labelSet.Entries[2].Name = Sjis("未保存");  // a change in no file
    dialogs.replies = {Reply::No};                 // 変更を保存しますか？ いいえ
    // Dropped on the name field, which would otherwise take the file's name as text.
    Drop(w().edtName(), {QUrl::fromLocalFile(file)});
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_TRUE(w().windowTitle().endsWith(QStringLiteral("＜dropped.stw＞"))) << w().windowTitle().toStdString();
    EXPECT_EQ(ws->labelSet.Entries[1].Name, Sjis("本社"));
    EXPECT_EQ(w().edtName()->text(), QStringLiteral("本社"));

    // キャンセル keeps the open document; a file that is no label set is not taken.
    ws->labelSet.Entries[2].Name = Sjis("未保存");
    dialogs.messages.clear();
    dialogs.replies = {Reply::Cancel};
    Drop(&w(), {QUrl::fromLocalFile(WriteSet("again.stw", "別"))});
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_EQ(ws->labelSet.Entries[1].Name, Sjis("本社"));
    sw::test::WriteFileBytes(cwd.File("notes.txt"), "x");
    dialogs.messages.clear();
    Drop(&w(), {QUrl::fromLocalFile(QString::fromStdString(cwd.File("notes.txt")))});
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(w().windowTitle().endsWith(QStringLiteral("＜dropped.stw＞")));
}

TEST_F(Desktop, TheGuideIsFoundInTheSettingsFolderElseWhereItIsInstalled) {
    std::vector<QUrl> opened;
    program->commands().openUrl = [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    };
    sw::test::TempDir installed;
    sw::test::TempDir beside;
    program->commands().helpFolders = {QString::fromStdString(installed.path()),
                                       QString::fromStdString(beside.path() + "/bin/../share")};
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(beside.path() + "/share")));
    const std::string name = "Stripwise2ヘルプガイド.pdf";
    sw::test::WriteFileBytes(beside.path() + "/share/" + name, "%PDF-1.4\n");
    w().action("de1")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.back(), QUrl::fromLocalFile(QString::fromStdString(beside.path() + "/share/" + name)));
    sw::test::WriteFileBytes(installed.File(name), "%PDF-1.4\n");
    w().action("de1")->trigger();
    EXPECT_EQ(opened.back(), QUrl::fromLocalFile(QString::fromStdString(installed.File(name))));
    sw::test::WriteFileBytes(cwd.File(name), "%PDF-1.4\n");
    w().action("de1")->trigger();
    EXPECT_EQ(opened.back(), QUrl::fromLocalFile(QString::fromStdString(cwd.File(name))));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Desktop, SettingsThatCannotBeWrittenAreToldOnceNamingTheFile) {
    // A folder in the settings file's place cannot be replaced by a write.
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(cwd.File("Stripwise2.ini"))));
    dialogs.replies = {Reply::Ok, Reply::No};  // the failure, then 終了してもよろしいですか？ いいえ
    w().close();
    dialogs.replies = {Reply::No};
    w().close();
    ASSERT_EQ(Messages().size(), 3);
    EXPECT_TRUE(Messages()[0].contains(QString::fromStdString(cwd.File("Stripwise2.ini"))));
    EXPECT_EQ(Messages()[1], QStringLiteral("終了してもよろしいですか？"));
    EXPECT_EQ(Messages()[2], QStringLiteral("終了してもよろしいですか？"));
    EXPECT_TRUE(w().isVisible());
}

}  // namespace
}  // namespace sw::app
