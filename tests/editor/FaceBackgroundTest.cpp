// The face background the main window shows for the current face, and its controls.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include "editor/MainWindowFixture.h"
#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "support/ScriptedDialogs.h"

namespace sw::editor {
namespace {


// Colours equal within what JPEG leaves on flat areas.
bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 12 && std::abs(a.green() - b.green()) <= 12 &&
           std::abs(a.blue() - b.blue()) <= 12;
}

// Four flat quadrants: top-left red, top-right blue, bottom-left green, bottom-right yellow.
QImage Quadrants(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            picture.setPixelColor(x, y, bottom ? (right ? Qt::yellow : Qt::green) : (right ? Qt::blue : Qt::red));
        }
    return picture;
}

class FaceBackground : public sw::test::MainWindowFixture {
protected:
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
    std::string Save(const QImage& picture, const std::string& name, const char* format) {
        const std::string path = cwd.File(name);
        EXPECT_TRUE(picture.save(QString::fromStdString(path), format, 95));
        return path;
    }
    QWidget* Named(const char* name) { return w->findChild<QWidget*>(QString::fromLatin1(name)); }
    QRadioButton* Radio(int n) { return w->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(n)); }
    // A user's click: the control takes the focus first, as the mouse gives it.
    void Click(const char* name) {
        QWidget* widget = Named(name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }
    // Chooses a file in the picture dialog through 画像選択.
    void Choose(const std::string& path) {
        dialogs.files = {QString::fromStdString(path)};
        Click("btnSelect");
    }
    QColor Shown(int x, int y) { return w->ScreenBackground().pixelColor(x, y); }
    void ExpectControlsOfMode(bool picture) {
        for (const char* name : {"btnSelect", "Button1", "GroupBox4", "RadioButton9", "RadioButton10"})
            EXPECT_EQ(Named(name)->isEnabled(), picture) << name;
        EXPECT_EQ(w->toolButton(27)->isEnabled(), picture);
        EXPECT_EQ(Named("Button3")->isEnabled(), !picture);
    }
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
    ExpectControlsOfMode(false);
    EXPECT_FALSE(Face().PictureFile.empty());  // kept for a return to the picture
}

// A picture on a drive that is not mounted today is back tomorrow: the face keeps its path,
// shows white, names the path in red and the user hears of it once per file.
TEST_F(FaceBackground, AMissingPictureIsKeptShownInRedAndNamedOncePerFile) {
    const std::string gone = cwd.File("gone.jpg");
    Face().PictureFile = gone;
    ws->labelSet.Entries[1].Faces[2].PictureFile = gone;
    w->ShowEntry();
    w->ShowEntry();
    QTest::qWait(10);
    EXPECT_EQ(Face().PictureFile, gone);
    EXPECT_EQ(w->ScreenBackground().pixelColor(200, 100), QColor(Qt::white));
    auto* mark = w->findChild<QLabel*>(QStringLiteral("lblMissingPicture"));
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->text().endsWith(QStringLiteral("gone.jpg"))) << mark->text().toStdString();
    EXPECT_TRUE(mark->toolTip().contains(QString::fromStdString(gone)));
    // Red, dark enough to read on the window's light grey.
    const QColor red = mark->palette().color(QPalette::WindowText);
    EXPECT_EQ(red.hue(), 0);
    EXPECT_GT(red.saturation(), 200);
    EXPECT_LT(red.lightness(), 100);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Warning);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("背景画像「%1」が見つかりません。白で表示・印刷します。").arg(QString::fromStdString(gone)));

    // The same file on another face is not told again; in single colour the mark goes.
    w->tabPage()->setCurrentIndex(1);
    QTest::qWait(10);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_FALSE(mark->text().isEmpty());
    Click("RadioButton8");
    EXPECT_TRUE(mark->text().isEmpty());
    Click("RadioButton7");
    EXPECT_FALSE(mark->text().isEmpty());
    EXPECT_EQ(ws->labelSet.Entries[1].Faces[2].PictureFile, gone);

    // Once the file is there again, the face shows it and the mark is gone.
    w->tabPage()->setCurrentIndex(0);
    ASSERT_TRUE(QImage(Quadrants(40, 40)).save(QString::fromStdString(gone), "JPG"));
    w->ShowEntry();
    EXPECT_TRUE(mark->text().isEmpty());
    EXPECT_TRUE(Near(Shown(5, 5), Qt::red));
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(FaceBackground, ABrokenPictureIsReportedOnce) {
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

TEST_F(FaceBackground, AChosenJpegIsStretchedOverTheFaceThenRepeatedAtItsPixelSize) {
    const std::string jpeg = Save(Quadrants(100, 60), "photo.jpg", "JPG");
    Choose(jpeg);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0], sw::app::FileKind::OpenPicture);
    EXPECT_EQ(Face().PictureFile, jpeg);
    ASSERT_EQ(w->ScreenBackground().size(), QSize(458, 277));
    // Each quadrant covers a quarter of the whole 458 × 277 area.
    EXPECT_TRUE(Near(Shown(5, 5), Qt::red));
    EXPECT_TRUE(Near(Shown(220, 130), Qt::red));
    EXPECT_TRUE(Near(Shown(240, 5), Qt::blue));
    EXPECT_TRUE(Near(Shown(5, 272), Qt::green));
    EXPECT_TRUE(Near(Shown(452, 272), Qt::yellow));

    Click("RadioButton10");  // 実寸並列
    EXPECT_EQ(Face().PictureLayout, 1);
    EXPECT_TRUE(Near(Shown(45, 25), Qt::red));
    EXPECT_TRUE(Near(Shown(55, 25), Qt::blue));
    EXPECT_TRUE(Near(Shown(45, 35), Qt::green));
    EXPECT_TRUE(Near(Shown(105, 5), Qt::red));    // the next copy to the right
    EXPECT_TRUE(Near(Shown(5, 65), Qt::red));     // and below
    EXPECT_TRUE(Near(Shown(457, 276), Shown(57, 36)));

    Click("RadioButton9");  // 拡大縮小 again
    EXPECT_EQ(Face().PictureLayout, 0);
    EXPECT_TRUE(Near(Shown(220, 130), Qt::red));
    EXPECT_TRUE(dialogs.messages.empty());
    // The dialog opens on the picture the face has.
    Choose(jpeg);
    EXPECT_EQ(dialogs.lastInitialPath, QString::fromStdString(jpeg));
}

TEST_F(FaceBackground, APictureLargerThanTheBlankShowsOnlyItsTopLeftPartWhenRepeated) {
    Face().PictureFile = Save(Quadrants(600, 800), "big.bmp", "BMP");
    Face().PictureLayout = 1;
    w->ShowEntry();
    EXPECT_EQ(Shown(299, 276), QColor(Qt::red));
    EXPECT_EQ(Shown(300, 0), QColor(Qt::blue));
    EXPECT_EQ(Shown(457, 276), QColor(Qt::blue));
    EXPECT_EQ(Shown(0, 0), QColor(Qt::red));  // no second copy anywhere
}

TEST_F(FaceBackground, SingleColourKeepsThePictureForTheReturnToPictureMode) {
    const std::string bmp = Save(Quadrants(40, 20), "q.bmp", "BMP");
    Choose(bmp);
    ExpectControlsOfMode(true);

    Click("RadioButton8");  // 単色, still white: the blank
    EXPECT_EQ(Face().BackgroundMode, 1);
    EXPECT_EQ(Face().PictureFile, bmp);
    EXPECT_EQ(Shown(5, 5), QColor(Qt::white));
    EXPECT_EQ(Shown(450, 270), QColor(Qt::white));
    ExpectControlsOfMode(false);

    dialogs.colors = {0x000000FF};  // red
    Click("Button3");
    EXPECT_EQ(Face().BackgroundColor, 0x000000FFu);
    EXPECT_EQ(Shown(5, 5), QColor(Qt::red));
    EXPECT_EQ(Shown(457, 276), QColor(Qt::red));

    Click("RadioButton7");  // 画像: the picture again, the colour kept for later
    EXPECT_EQ(Face().BackgroundMode, 0);
    EXPECT_EQ(Face().BackgroundColor, 0x000000FFu);
    EXPECT_EQ(Shown(5, 5), QColor(Qt::red));
    EXPECT_EQ(Shown(452, 5), QColor(Qt::blue));
    EXPECT_EQ(Shown(5, 272), QColor(Qt::green));
    EXPECT_TRUE(Radio(9)->isChecked());
    ExpectControlsOfMode(true);

    // Another face and back: the stored mode decides the controls.
    Click("RadioButton8");
    w->tabPage()->setCurrentIndex(1);
    ExpectControlsOfMode(true);
    w->tabPage()->setCurrentIndex(0);
    EXPECT_TRUE(Radio(8)->isChecked());
    EXPECT_EQ(Shown(200, 100), QColor(Qt::red));
    ExpectControlsOfMode(false);
}

TEST_F(FaceBackground, TheColourDialogStartsFromTheFacesColourNotTheKeys) {
    Face().BackgroundMode = 1;
    Face().BackgroundColor = 0x000000FF;  // red
    ws->labelSet.Entries[1].Faces[1].Keys[1].BackColor = sw::model::kWhite;  // the selected key
    w->ShowEntry();
    EXPECT_EQ(Shown(100, 100), QColor(Qt::red));

    dialogs.colors = {sw::model::kWhite};
    Click("Button3");
    EXPECT_EQ(Face().BackgroundColor, sw::model::kWhite);
    EXPECT_EQ(Shown(100, 100), QColor(Qt::white));

    const sw::model::PrintFace before = Face();
    dialogs.colors = {sw::model::kWhite, std::nullopt};  // the same colour, then cancelled
    Click("Button3");
    Click("Button3");
    EXPECT_EQ(dialogs.colorRequests, 3);
    EXPECT_EQ(Face(), before);
    EXPECT_EQ(Shown(100, 100), QColor(Qt::white));
}

TEST_F(FaceBackground, RemovingThePictureKeepsModeAndLayout) {
    Face().PictureFile = RedBlueBitmap();
    Face().PictureLayout = 1;
    w->ShowEntry();
    EXPECT_EQ(Shown(0, 0), QColor(Qt::red));
    Click("Button1");  // 画像削除
    EXPECT_TRUE(Face().PictureFile.empty());
    EXPECT_EQ(Face().PictureLayout, 1);
    EXPECT_EQ(Face().BackgroundMode, 0);
    EXPECT_TRUE(Radio(10)->isChecked());
    EXPECT_EQ(Shown(0, 0), QColor(Qt::white));
    EXPECT_EQ(Shown(1, 0), QColor(Qt::white));
}

TEST_F(FaceBackground, ChosenFilesThatCannotBeUsedLeaveThePictureAsItWas) {
    const std::string good = RedBlueBitmap();
    Choose(good);
    ASSERT_EQ(Face().PictureFile, good);

    // A folder, a broken JPEG, a bitmap header of 400 megapixels: the reason once each.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("folder.jpg")));
    sw::test::WriteFileBytes(cwd.File("broken.jpg"), "\xFF\xD8\xFF\xE0 not really");
    std::string huge = sw::test::ReadFileBytes(good);
    for (int i = 0; i < 4; ++i) huge[18 + i] = huge[22 + i] = static_cast<char>((20000u >> (8 * i)) & 0xFF);
    sw::test::WriteFileBytes(cwd.File("huge.bmp"), huge);
    const char* const kRefused[][2] = {{"folder.jpg", "通常のファイルではない"},
                                       {"broken.jpg", "broken.jpg"},
                                       {"huge.bmp", "大きすぎる"}};
    for (const auto& [name, reason] : kRefused) {
        dialogs.messages.clear();
        Choose(cwd.File(name));
        w->ShowEntry();
        QTest::qWait(20);
        ASSERT_EQ(dialogs.messages.size(), 1u) << name;
        EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
        EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromUtf8(reason))) << name;
        EXPECT_EQ(Face().PictureFile, good) << name;
        EXPECT_EQ(Shown(0, 0), QColor(Qt::red)) << name;
    }

    // Names the label-set file cannot keep, though the files are good pictures: a line break,
    // a character CP932 has not, a character CP932 would store as another one.
    for (const char* name : {"line\nbreak.bmp", "cr\rname.bmp", "smile😀.bmp", "wave〜dash.bmp"}) {
        const std::string path = cwd.File(name);
        ASSERT_TRUE(QFile::copy(QString::fromStdString(good), QString::fromStdString(path))) << name;
        dialogs.messages.clear();
        Choose(path);
        ASSERT_EQ(dialogs.messages.size(), 1u) << name;
        EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
        EXPECT_EQ(Face().PictureFile, good) << name;
    }

    // Cancelled: nothing at all.
    dialogs.messages.clear();
    dialogs.files = {std::nullopt};
    Click("btnSelect");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Face().PictureFile, good);
}

TEST_F(FaceBackground, AChosenFileThatIsGoneIsReportedAndTheFaceLosesItsPicture) {
    Choose(RedBlueBitmap());
    Choose(cwd.File("gone.bmp"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("ファイルが存在しません。"));
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
    EXPECT_TRUE(Face().PictureFile.empty());
    EXPECT_EQ(Shown(0, 0), QColor(Qt::white));
    EXPECT_TRUE(w->edtName()->hasFocus());
}

TEST_F(FaceBackground, AClickAfterAWrongNumberDoesNothingButSayItIsWrong) {
    Face().PictureFile = RedBlueBitmap();
    w->ShowEntry();
    w->edtNaisen()->setText(QStringLiteral("77"));
    Click("Button1");
    Click("btnSelect");
    ASSERT_GE(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Ｎｏが誤っています。"));
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_FALSE(Face().PictureFile.empty());
}

TEST_F(FaceBackground, AClickOnTheStripDrawingClosesTheKeyEditor) {
    ws->editor.KeyEditorOpen = 1;
    w->keyPanel(7)->hide();
    w->keyMemo(7)->show();
    QWidget* strip = Named("Image418");
    ASSERT_TRUE(strip->isVisible());
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(ws->editor.KeyEditorOpen, 0);
    EXPECT_TRUE(w->keyMemo(7)->isHidden());
    EXPECT_TRUE(w->keyPanel(7)->isVisible());
    EXPECT_EQ(w->keyPanel(7)->look(), PanelLook::Selected);

    // The same on the 30-key drawing.
    Click("RadioButton11");
    ws->editor.KeyEditorOpen = 1;
    w->keyPanel(1)->hide();
    w->keyMemo(1)->show();
    QTest::mouseClick(Named("Image430"), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(ws->editor.KeyEditorOpen, 0);
    EXPECT_TRUE(w->keyMemo(1)->isHidden());
}

}  // namespace
}  // namespace sw::editor
