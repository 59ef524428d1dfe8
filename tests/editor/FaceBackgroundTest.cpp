// The face background the main window shows for the current face.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "support/ScriptedDialogs.h"

namespace sw::editor {
namespace {

using sw::test::ScriptedDialogs;
using sw::test::WorkingDir;

class FaceBackground : public ::testing::Test {
protected:
    WorkingDir cwd;
    std::unique_ptr<sw::model::Workspace> ws = std::make_unique<sw::model::Workspace>();
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmMain> w;

    void SetUp() override { w = std::make_unique<TfrmMain>(*ws, dialogs); }
    sw::model::PrintFace& Face() { return ws->labelSet.Entries[1].Faces[1]; }
    // A 2 x 1 bitmap: red, then blue.
    std::string RedBlueBitmap() {
        QImage picture(2, 1, QImage::Format_RGB888);
        picture.setPixelColor(0, 0, Qt::red);
        picture.setPixelColor(1, 0, Qt::blue);
        const std::string path = cwd.File("rb.bmp");
        EXPECT_TRUE(picture.save(QString::fromStdString(path), "BMP"));
        return path;
    }
    QWidget* Named(const char* name) { return w->findChild<QWidget*>(QString::fromLatin1(name)); }
};

TEST_F(FaceBackground, APictureIsStretchedOrRepeatedAtItsOwnSize) {
    Face().PictureFile = RedBlueBitmap();
    w->ShowEntry();
    QImage shown = w->ScreenBackground();
    ASSERT_EQ(shown.size(), QSize(458, 277));
    EXPECT_EQ(shown.pixelColor(10, 100), QColor(Qt::red));    // left half
    EXPECT_EQ(shown.pixelColor(440, 100), QColor(Qt::blue));  // right half

    Face().PictureLayout = 1;
    w->ShowEntry();
    shown = w->ScreenBackground();
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(1, 0), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(2, 276), QColor(Qt::red));
    EXPECT_TRUE(static_cast<QRadioButton*>(Named("RadioButton10"))->isChecked());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FaceBackground, ASingleColourFaceShowsItsColourAndItsControls) {
    Face().PictureFile = RedBlueBitmap();
    Face().BackgroundMode = 1;
    Face().BackgroundColor = 0x0000FF00;  // green
    w->ShowEntry();
    EXPECT_EQ(w->ScreenBackground().pixelColor(10, 10), QColor(0, 255, 0));
    EXPECT_TRUE(static_cast<QRadioButton*>(Named("RadioButton8"))->isChecked());
    EXPECT_TRUE(Named("Button3")->isEnabled());
    for (const char* name : {"btnSelect", "Button1", "GroupBox4", "RadioButton9", "RadioButton10"})
        EXPECT_FALSE(Named(name)->isEnabled()) << name;
    EXPECT_FALSE(w->toolButton(27)->isEnabled());
    EXPECT_FALSE(Face().PictureFile.empty());  // kept for a return to the picture
}

TEST_F(FaceBackground, AMissingPictureIsForgottenAndABrokenOneReportedOnce) {
    Face().PictureFile = cwd.File("gone.jpg");
    w->ShowEntry();
    EXPECT_TRUE(Face().PictureFile.empty());
    EXPECT_EQ(w->ScreenBackground().pixelColor(200, 100), QColor(Qt::white));

    sw::test::WriteFileBytes(cwd.File("bad.jpg"), "not a picture");
    Face().PictureFile = cwd.File("bad.jpg");
    w->ShowEntry();
    w->ShowEntry();
    QTest::qWait(10);
    w->ShowEntry();
    QTest::qWait(10);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("bad.jpg")));
    EXPECT_EQ(Face().PictureFile, cwd.File("bad.jpg"));
    EXPECT_EQ(w->ScreenBackground().pixelColor(200, 100), QColor(Qt::white));
}

}  // namespace
}  // namespace sw::editor
