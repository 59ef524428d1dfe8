// Helpers for window tests: a working directory of its own (where windows keep their
// settings), showing a window as the active one, typing Japanese, filling keys.
#pragma once

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>
#include <string>

#include "model/Cp932.h"
#include "model/LabelSet.h"
#include "support/TempDir.h"

namespace sw::test {

// Changes into a fresh temporary folder for the life of the object.
class WorkingDir {
public:
    WorkingDir() : m_old(QDir::currentPath()) { QDir::setCurrent(QString::fromStdString(m_dir.path())); }
    ~WorkingDir() { QDir::setCurrent(m_old); }
    std::string File(const std::string& name) const { return m_dir.File(name); }
    const std::string& path() const { return m_dir.path(); }

private:
    TempDir m_dir;
    QString m_old;
};

// Offscreen only the active window has the focus.
inline bool ShowActive(QWidget* window) {
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) return false;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Types any text, Japanese included, one character at a time.
inline void TypeText(QWidget* target, const QString& text) {
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), {});
}

inline sw::model::Bytes Sjis(const char* utf8) {
    return sw::model::EncodeCp932(QString::fromUtf8(utf8)).bytes;
}

inline QString Utf(const sw::model::Bytes& bytes) { return sw::model::DecodeCp932(bytes); }

}  // namespace sw::test
