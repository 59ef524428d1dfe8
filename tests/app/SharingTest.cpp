// What the program shares with others survives it: the settings another window of the
// program changed, and the access list and extended attributes of a label-set file shared
// with other people.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <climits>
#include <cstring>
#include <filesystem>

#include "app/Program.h"
#include "app/ProgramFixture.h"
#include "model/IniFile.h"
#include "model/LabelSetFile.h"
#include "model/Settings.h"
#include "print/TfrmSettei.h"

namespace sw::app {
namespace {

using sw::test::OnModal;
using sw::test::Sjis;

// An access list in the kernel's format: owner rw, user 65534 ("nobody") rw, group r,
// mask rw, others r, as `setfacl -m u:nobody:rw` leaves a file of mode 644.
std::string SharedAccessList() {
    struct Entry {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const std::uint32_t version = 2;
    const Entry entries[] = {{0x01, 6, UINT32_MAX}, {0x02, 6, 65534}, {0x04, 4, UINT32_MAX},
                             {0x10, 6, UINT32_MAX}, {0x20, 4, UINT32_MAX}};
    std::string acl(reinterpret_cast<const char*>(&version), sizeof version);
    for (const Entry& e : entries) {
        acl.append(reinterpret_cast<const char*>(&e.tag), 2);
        acl.append(reinterpret_cast<const char*>(&e.perm), 2);
        acl.append(reinterpret_cast<const char*>(&e.id), 4);
    }
    return acl;
}

std::string Attribute(const std::string& path, const char* name) {
    char value[256];
    const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("(none)") : std::string(value, static_cast<size_t>(n));
}

bool SetAttributes(const std::string& path) {
    const std::string acl = SharedAccessList();
    return ::setxattr(path.c_str(), "user.stripwise2.origin", "front desk", 10, 0) == 0 &&
           ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
}

// A folder on a file system that keeps user attributes and access lists: the temporary
// folder, else one beside the program under test (the build tree's disk). Empty when
// neither does; the folder is removed with the object.
class AttributeFolder {
public:
    AttributeFolder() {
        const std::string candidates[] = {std::filesystem::temp_directory_path().string(),
                                          std::filesystem::path(SW_PROGRAM).parent_path().string()};
        for (const std::string& base : candidates) {
            std::string name = base + "/sw2attr-XXXXXX";
            if (!::mkdtemp(name.data())) continue;
            const std::string probe = name + "/probe";
            sw::test::WriteFileBytes(probe, "x");
            if (SetAttributes(probe)) {
                std::filesystem::remove(probe);
                m_path = name;
                return;
            }
            std::filesystem::remove_all(name);
        }
    }
    ~AttributeFolder() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

class Sharing : public sw::test::ProgramFixture {
protected:
    int Setting(const char* section, const char* key) {
        return sw::model::ReadIniInt(cwd.File("Stripwise2.ini"), section, key, INT_MIN);
    }
};

TEST_F(Sharing, EachWindowWritesOnlyTheSettingsItChangedAndTheRecentFilesMerge) {
    // A second window of the program, started while the first one runs.
    auto ws2 = std::make_unique<sw::model::Workspace>();
    sw::test::ScriptedDialogs dialogs2;
    sw::test::FakePrinter printer2;
    auto second = std::make_unique<Program>(*ws2, dialogs2, printer2);
    ASSERT_TRUE(sw::test::ShowActive(&second->main()));

    // In the second: 印刷設定, 12 to the right and 3 up.
    bool reached = false;
    OnModal<sw::render::TfrmSettei>([](sw::render::TfrmSettei* d) {
        auto typeInto = [](QLineEdit* edit, const char* text) {
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            QTest::keyClicks(edit, text);
        };
        typeInto(d->findChild<QLineEdit*>("Edit2"), "12");
        typeInto(d->findChild<QLineEdit*>("Edit1"), "3");
        QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    }, &reached);
    second->main().action("I1")->trigger();
    ASSERT_TRUE(reached);
    ASSERT_EQ(Setting("Settei", "Sayu"), 12);

    // Label sets saved in both windows, the first one last.
    dialogs.files = {QString::fromStdString(cwd.File("a.stw"))};
    w().action("SaveAs1")->trigger();
    dialogs2.files = {QString::fromStdString(cwd.File("b.stw"))};
    second->main().action("SaveAs1")->trigger();
    dialogs.files = {QString::fromStdString(cwd.File("c.stw"))};
    w().action("SaveAs1")->trigger();

    // The second window's File menu, opened now, lists all three, newest first.
    emit second->main().findChild<QMenu*>("File1")->aboutToShow();
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(second->main().action(QStringLiteral("Recent%1").arg(n))->data().toString(),
                  QString::fromStdString(cwd.File(std::string(1, char('d' - n)) + ".stw")))
            << n;

    // The first window, moved and closed, keeps its own place and leaves the adjustment
    // it never changed to the second.
    ASSERT_TRUE(sw::test::ShowActive(&w()));
    w().move(w().pos() + QPoint(40, 30));
    const QPoint first = w().pos();
    EXPECT_TRUE(w().close());
    EXPECT_EQ(Setting("Settei", "Sayu"), 12);
    EXPECT_EQ(Setting("Settei", "Jyoge"), 3);
    EXPECT_EQ(Setting("Main", "Top"), first.y());
    EXPECT_EQ(Setting("Main", "Left"), first.x());

    // The second, closed where it opened, leaves the first one's place.
    EXPECT_TRUE(second->main().close());
    EXPECT_EQ(Setting("Main", "Top"), first.y());
    EXPECT_EQ(Setting("Settei", "Sayu"), 12);
    const std::vector<sw::model::Bytes> recent =
        sw::model::ReadRecentFiles(cwd.File("Stripwise2.ini"));
    EXPECT_EQ(recent, (std::vector<sw::model::Bytes>{cwd.File("c.stw"), cwd.File("b.stw"),
                                                     cwd.File("a.stw")}));
}

TEST_F(Sharing, ASavedFileKeepsItsAccessListAndExtendedAttributes) {
    AttributeFolder folder;
    if (folder.path().empty()) GTEST_SKIP() << "no file system here keeps user attributes and access lists";
    // A label set shared with `setfacl -m u:nobody:rw` and marked with an attribute.
    const std::string path = folder.path() + "/shared.stw";
    auto set = std::make_unique<sw::model::LabelSet>();
    ASSERT_TRUE(sw::model::SaveLabelSetFile(path, *set).ok);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_TRUE(SetAttributes(path));
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    ws->labelSet.Entries[1].Faces[1].Keys[1].Line1 = Sjis("受付");
    dialogs.files = {QString::fromStdString(path)};
    w().action("SaveAs1")->trigger();  // 上書きしますか？ OK
    ASSERT_EQ(dialogs.messages.back().text, QStringLiteral("保存が終了しました。"));

    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);  // a new file took the old one's place
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"), SharedAccessList());
    EXPECT_EQ(Attribute(path, "user.stripwise2.origin"), "front desk");
    EXPECT_EQ(after.st_mode & 07777, 0664u);  // the group bits show the list's mask
    ASSERT_TRUE(sw::model::LoadLabelSetFile(path, *set).ok);
    EXPECT_EQ(set->Entries[1].Faces[1].Keys[1].Line1, Sjis("受付"));
}

}  // namespace
}  // namespace sw::app
