// Small pieces the program's dialogs share: fonts, the focus colour, the hourglass cursor,
// the screen a dialog centres on, and its window frame.
#pragma once

#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "dialogs/WaitCursor.h"
#include "model/Settings.h"

namespace sw::app {

// An input field that has the focus is light blue (COLORREF 0x00F0CAA6).
inline const QColor kFocusFieldColor{166, 202, 240};

// A font by its stored Windows name at a pixel height; the program maps the names to the
// IPA fonts at start.
inline QFont PixelFont(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

inline QFont GothicFont(int pixels) {
    return PixelFont(QStringLiteral("ＭＳ ゴシック"), pixels);
}

// A focused field is light blue with black text, whatever the desktop's colours (white text
// of a dark theme would not show on the light blue); a field without the focus takes the
// desktop's colours again, also when they change while the program runs.
inline void SetFieldFocusLook(QWidget* field, bool focused) {
    if (!focused) {
        field->setPalette(QPalette());
        return;
    }
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, kFocusFieldColor);
    palette.setColor(QPalette::Text, Qt::black);
    field->setPalette(palette);
}

// The size of the screen a window is centred on by default.
inline sw::model::Size ScreenSizeFor(const QWidget* window) {
    const QWidget* anchor = window->parentWidget() ? window->parentWidget() : window;
    QScreen* screen = anchor->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    return {screen->geometry().width(), screen->geometry().height()};
}

// A fixed-size dialog window whose only frame button is the close box.
inline void MakeFixedDialogWindow(QWidget* dialog, int clientWidth, int clientHeight) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(clientWidth, clientHeight);
}

// A dialog of fields filled in one after another: the window sees each key before the
// focused control, and Enter, Down and Up move through the fields.
class FieldDialog : public QDialog {
protected:
    using QDialog::QDialog;

    // True when the key was taken. A focused button takes Enter as a click; elsewhere Enter
    // moves on. No button is the dialog's default: Enter in a field never presses one.
    bool MoveFocusOnFormKey(QObject* target, QKeyEvent* event) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* button = qobject_cast<QPushButton*>(target))
                button->click();
            else
                focusNextPrevChild(true);
            return true;
        case Qt::Key_Down:
            focusNextPrevChild(true);
            return true;
        case Qt::Key_Up:
            focusNextPrevChild(false);
            return true;
        default:
            return false;
        }
    }
};

}  // namespace sw::app
