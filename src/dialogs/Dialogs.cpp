// The real message boxes and standard dialogs.
#include "dialogs/Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>

#include "dialogs/EntryChoiceTab.h"
#include "dialogs/FontDialog.h"

namespace sw::app {

bool Dialogs::ReportMissingPicture(QWidget* parent, const QString& path) {
    if (m_namedMissingPictures.contains(path)) return false;
    m_namedMissingPictures.insert(path);
    Message(parent, MessageKind::Warning,
            QStringLiteral("背景画像「%1」が見つかりません。白で表示・印刷します。").arg(path), Buttons::Ok);
    return true;
}

QString MessageTitle(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning: return QStringLiteral("警告");
        case MessageKind::Error: return QStringLiteral("エラー");
        case MessageKind::Information: return QStringLiteral("情報");
        case MessageKind::Confirmation: return QStringLiteral("確認");
    }
    return {};
}

QString LabelSetFilter() { return QStringLiteral("示名条片ﾌｧｲﾙ (*.stw)"); }

QString WithLabelSetExtension(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QStringLiteral(".stw");
}

QString WithCsvExtension(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QStringLiteral(".csv");
}

Reply QtDialogs::Message(QWidget* parent, MessageKind kind, const QString& text,
                         Buttons buttons) {
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
        case MessageKind::Warning: icon = QMessageBox::Warning; break;
        case MessageKind::Error: icon = QMessageBox::Critical; break;
        case MessageKind::Information: icon = QMessageBox::Information; break;
        case MessageKind::Confirmation: icon = QMessageBox::Question; break;
    }
    QMessageBox box(icon, MessageTitle(kind), text, QMessageBox::NoButton, parent);
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    QPushButton* cancel = nullptr;
    switch (buttons) {
        case Buttons::Ok:
            first = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            break;
        case Buttons::OkCancel:
        case Buttons::OkCancelDefaultCancel:
            first = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            second = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
            break;
        case Buttons::YesNo:
        case Buttons::YesNoDefaultNo:
            first = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
            second = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
            break;
        case Buttons::YesNoCancel:
            first = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
            second = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
            cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
            break;
    }
    const bool secondIsDefault = buttons == Buttons::YesNoDefaultNo || buttons == Buttons::OkCancelDefaultCancel;
    box.setDefaultButton(secondIsDefault ? second : first);
    // Escape and the close box choose キャンセル where there is one, else the second button.
    if (cancel)
        box.setEscapeButton(cancel);
    else if (second)
        box.setEscapeButton(second);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    bool firstChosen = clicked == first;
    switch (buttons) {
        case Buttons::Ok: return Reply::Ok;
        case Buttons::OkCancel:
        case Buttons::OkCancelDefaultCancel: return firstChosen ? Reply::Ok : Reply::Cancel;
        case Buttons::YesNo:
        case Buttons::YesNoDefaultNo: return firstChosen ? Reply::Yes : Reply::No;
        case Buttons::YesNoCancel:
            return firstChosen ? Reply::Yes : clicked == second ? Reply::No : Reply::Cancel;
    }
    return Reply::Cancel;
}

std::optional<QString> QtDialogs::ChooseFile(QWidget* parent, FileKind kind,
                                             const QString& initialPath) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    dialog.selectFile(initialPath);
    if (!initialPath.isEmpty()) dialog.setDirectory(QFileInfo(initialPath).absolutePath());
    switch (kind) {
        case FileKind::OpenLabelSet:
            dialog.setWindowTitle(QStringLiteral("開く"));
            dialog.setNameFilter(LabelSetFilter());
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            break;
        case FileKind::SaveLabelSet:
            dialog.setWindowTitle(QStringLiteral("名前を付けて保存"));
            dialog.setNameFilter(LabelSetFilter());
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            // We ask about overwriting ourselves, with the program's own question.
            dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
            dialog.setDefaultSuffix(QStringLiteral("stw"));
            break;
        case FileKind::OpenPicture:
            dialog.setWindowTitle(QStringLiteral("画像の選択"));
            // Pictures from Windows often end in upper case; a desktop's own dialog may
            // match the patterns case by case.
            // PNG pictures are read too (known by their content), so they are offered.
            dialog.setNameFilters(
                {QStringLiteral("すべてのファイル (*.bmp *.jpg *.jpeg *.png *.BMP *.JPG *.JPEG *.PNG)"),
                 QStringLiteral("ビットマップ (*.bmp *.BMP)"), QStringLiteral("JPEG イメージファイル (*.jpg *.JPG)"),
                 QStringLiteral("JPEG イメージファイル (*.jpeg *.JPEG)"),
                 QStringLiteral("PNG イメージファイル (*.png *.PNG)")});
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            break;
        case FileKind::OpenKeyCsv:
            dialog.setWindowTitle(QStringLiteral("CSV から読み込み"));
            dialog.setNameFilters({QStringLiteral("CSV ファイル (*.csv *.CSV)"),
                                   QStringLiteral("すべてのファイル (*)")});
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            break;
        case FileKind::SaveKeyCsv:
            dialog.setWindowTitle(QStringLiteral("CSV に書き出し"));
            dialog.setNameFilter(QStringLiteral("CSV ファイル (*.csv)"));
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
            dialog.setDefaultSuffix(QStringLiteral("csv"));
            break;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    QString path = dialog.selectedFiles().constFirst();
    if (kind == FileKind::SaveLabelSet) path = WithLabelSetExtension(path);
    if (kind == FileKind::SaveKeyCsv) path = WithCsvExtension(path);
    return path;
}

std::optional<sw::model::ColorRef> QtDialogs::ChooseColor(QWidget* parent,
                                                          sw::model::ColorRef initial) {
    QColor start(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
                 static_cast<int>((initial >> 16) & 0xFF));
    QColor chosen = QColorDialog::getColor(start, parent, QStringLiteral("色の設定"));
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<sw::model::ColorRef>(chosen.red() | (chosen.green() << 8) |
                                            (chosen.blue() << 16));
}

std::optional<FontChoice> QtDialogs::ChooseFont(QWidget* parent, const FontChoice& preset) {
    // Its colour button comes back here, to the colour dialog above.
    return FontDialog::Run(*this, parent, preset);
}

std::optional<int> QtDialogs::ChoosePrint(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::max(1, printer.copyCount());
}

std::optional<int> QtDialogs::ChoosePrintEntries(QWidget* parent, QPrinter& printer,
                                                 sw::model::PrintChoice& choice, int usedCount) {
    QPrintDialog dialog(&printer, parent);
    // The dialog's own print range speaks of pages; the management numbers have a page of
    // their own, shown open in front.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    auto* tab = new EntryChoiceTab(choice, usedCount);
    dialog.setOptionTabs({tab});
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text().endsWith(QStringLiteral(">>"))) button->click();  // the options part
    for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>())
        if (tabs->indexOf(tab) >= 0) tabs->setCurrentWidget(tab);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    choice = tab->Choice();
    return std::max(1, printer.copyCount());
}

}  // namespace sw::app
