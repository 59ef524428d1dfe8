// Every message box and standard dialog of the program goes through this seam, so that
// tests answer them from a script and windows never block a test.
#pragma once

#include <QSet>
#include <QString>
#include <cstdint>
#include <optional>

#include "model/LabelSet.h"
#include "model/PrintChoice.h"

class QWidget;
class QPrinter;

namespace sw::app {

enum class MessageKind { Warning, Error, Information, Confirmation };  // 警告 エラー 情報 確認
// YesNoDefaultNo: はい and いいえ with いいえ the default, for questions where Enter must not
// spend anything (paper, a file); OkCancelDefaultCancel likewise with OK and キャンセル.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo, OkCancelDefaultCancel };
enum class Reply { Ok, Cancel, Yes, No };

enum class FileKind {
    OpenLabelSet,  // 開く: filter "示名条片ﾌｧｲﾙ (*.stw)"
    SaveLabelSet,  // 名前を付けて保存: same filter; a name without extension gets ".stw"
    OpenPicture,   // background picture: bitmaps and JPEGs
    OpenKeyCsv,    // CSV から読み込み: filter "CSV ファイル (*.csv)"
    SaveKeyCsv,    // CSV に書き出し: same filter; a name without extension gets ".csv"
};

struct FontChoice {
    QString name;
    int size = 9;                // points
    std::uint8_t style = 0;      // bold 1, italic 2, underline 4, strike-out 8
    sw::model::ColorRef color = 0;
    bool operator==(const FontChoice&) const = default;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box with the title of its kind and the given buttons.
    virtual Reply Message(QWidget* parent, MessageKind kind, const QString& text,
                          Buttons buttons) = 0;

    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> ChooseFile(QWidget* parent, FileKind kind,
                                              const QString& initialPath) = 0;

    virtual std::optional<sw::model::ColorRef> ChooseColor(QWidget* parent,
                                                           sw::model::ColorRef initial) = 0;

    virtual std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& preset) = 0;

    // Shows the print dialog for printer; the copy count when confirmed.
    virtual std::optional<int> ChoosePrint(QWidget* parent, QPrinter& printer) = 0;

    // The print dialog with a page choosing the management numbers to print: `choice` comes
    // in with the entry counted as current and what to preselect, and holds the user's choice
    // when confirmed; `usedCount` is how many have a name or key text. The copy count when
    // confirmed.
    virtual std::optional<int> ChoosePrintEntries(QWidget* parent, QPrinter& printer,
                                                  sw::model::PrintChoice& choice, int usedCount) = 0;

    // A picture file a face names is gone: the warning "背景画像「path」が見つかりません。
    // 白で表示・印刷します。" the first time this run meets that file, whichever window meets it
    // (main window, preview, print); nothing afterwards. True when the warning was shown.
    bool ReportMissingPicture(QWidget* parent, const QString& path);

private:
    QSet<QString> m_namedMissingPictures;
};

// The real dialogs, with the program's Japanese titles and button texts.
class QtDialogs : public Dialogs {
public:
    Reply Message(QWidget* parent, MessageKind kind, const QString& text,
                  Buttons buttons) override;
    std::optional<QString> ChooseFile(QWidget* parent, FileKind kind,
                                      const QString& initialPath) override;
    std::optional<sw::model::ColorRef> ChooseColor(QWidget* parent,
                                                   sw::model::ColorRef initial) override;
    std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& preset) override;
    std::optional<int> ChoosePrint(QWidget* parent, QPrinter& printer) override;
    std::optional<int> ChoosePrintEntries(QWidget* parent, QPrinter& printer,
                                          sw::model::PrintChoice& choice, int usedCount) override;
};

// Title of a message box of this kind.
QString MessageTitle(MessageKind kind);

// "示名条片ﾌｧｲﾙ (*.stw)"
QString LabelSetFilter();

// A saved label-set name without an extension gets ".stw".
QString WithLabelSetExtension(const QString& path);

// A key-text file name without an extension gets ".csv".
QString WithCsvExtension(const QString& path);

}  // namespace sw::app
