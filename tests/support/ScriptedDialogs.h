// Dialogs answered from a script, recording what the program showed.
#pragma once

#include <deque>
#include <vector>

#include "dialogs/Dialogs.h"

namespace sw::test {

struct ShownMessage {
    sw::app::MessageKind kind;
    QString text;
    sw::app::Buttons buttons;
};

class ScriptedDialogs : public sw::app::Dialogs {
public:
    // Answers in order; a message with no scripted reply gets its default button (OK or はい,
    // いいえ for YesNoDefaultNo, キャンセル for OkCancelDefaultCancel).
    std::deque<sw::app::Reply> replies;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<sw::model::ColorRef>> colors;
    std::deque<std::optional<sw::app::FontChoice>> fonts;
    std::deque<std::optional<int>> prints;

    std::vector<ShownMessage> messages;
    std::vector<sw::app::FileKind> fileRequests;
    std::vector<sw::app::FontChoice> fontPresets;
    int colorRequests = 0;
    int printRequests = 0;
    // The copy count the printer held when each print dialog opened.
    std::vector<int> printCopiesShown;
    // The choice of management numbers each confirmed print dialog returns (unchanged when
    // none is scripted), and what each one was opened with.
    std::deque<sw::model::PrintChoice> printChoices;
    std::vector<sw::model::PrintChoice> printChoicesShown;
    std::vector<int> printUsedCounts;

    sw::app::Reply Message(QWidget*, sw::app::MessageKind kind, const QString& text,
                           sw::app::Buttons buttons) override;
    std::optional<QString> ChooseFile(QWidget*, sw::app::FileKind kind,
                                      const QString& initialPath) override;
    std::optional<sw::model::ColorRef> ChooseColor(QWidget*, sw::model::ColorRef) override;
    std::optional<sw::app::FontChoice> ChooseFont(QWidget*,
                                                  const sw::app::FontChoice& preset) override;
    std::optional<int> ChoosePrint(QWidget*, QPrinter&) override;
    std::optional<int> ChoosePrintEntries(QWidget*, QPrinter&, sw::model::PrintChoice& choice,
                                          int usedCount) override;

    QString lastInitialPath;
};

}  // namespace sw::test
