// The About box and its section of the settings file.
#include "app/TfrmVersion.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "dialogs/WaitCursor.h"
#include "render/Artwork.h"
#include "dialogs/Cp932Input.h"
#include "dialogs/WindowPlace.h"
#include "model/Cp932.h"
#include "model/Settings.h"

namespace sw::app {

namespace {
constexpr int kWidth = 356;
constexpr int kHeight = 104;
}  // namespace

TfrmVersion::TfrmVersion(sw::model::AppSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_settings(settings) {
    setObjectName(QStringLiteral("frmVersion"));
    setModal(true);
    setFixedSize(kWidth, kHeight);
    QFont labelFont(QStringLiteral("ＭＳ Ｐゴシック"));
    labelFont.setPixelSize(12);
    setFont(labelFont);
    setWindowTitle(QStringLiteral("バージョン情報"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setGeometry(18, 24, 32, 32);
    icon->setPixmap(sw::render::ProgramIcon().pixmap(32, 32));
    auto addLabel = [this](const char* name, const QString& text, int top) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        label->move(64, top);
        label->adjustSize();
        return label;
    };
    addLabel("Label1", QStringLiteral("Stripwise２"), 15);
    addLabel("Label2", QStringLiteral("Ｖersion1.1"), 35);
    addLabel("Label3", QStringLiteral("電話機の示名条片を作って印刷します"), 55);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(131, 77, 94, 21);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfrmVersion::Button1Click);
}

void TfrmVersion::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    WaitCursor wait;
    QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                    : QSize(kWidth, kHeight);
    sw::model::WindowPlacement placement = sw::model::ReadWindowPlacement(
        m_settings.SettingsPath(), sw::model::kVersionSection, {screen.width(), screen.height()},
        {width(), height()}, &m_settings.Seen);
    PlaceWindow(this, placement);
    m_caption = placement.caption;
    setWindowTitle(sw::model::DecodeCp932(m_caption));
}

void TfrmVersion::Button1Click() {
    sw::model::WindowPlacement placement;
    TakeWindowPlace(this, placement);
    sw::editor::StoreFieldText(m_caption, windowTitle());
    placement.caption = m_caption;
    sw::model::NoteSettingsWrite(
        m_settings, sw::model::WriteWindowPlacement(m_settings.WritePath(), sw::model::kVersionSection, placement,
                                                   &m_settings.Seen));
    accept();
}

}  // namespace sw::app
