// Scripted answers for the dialog seam.
#include "support/ScriptedDialogs.h"

#include <QPrinter>

namespace sw::test {

using namespace sw::app;

namespace {
template <typename T>
T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
}
}  // namespace

Reply ScriptedDialogs::Message(QWidget*, MessageKind kind, const QString& text, Buttons buttons) {
    messages.push_back({kind, text, buttons});
    Reply first = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Reply::Yes : Reply::Ok;
    if (buttons == Buttons::YesNoDefaultNo) first = Reply::No;  // the default button
    if (buttons == Buttons::OkCancelDefaultCancel) first = Reply::Cancel;
    return Next(replies, first);
}

std::optional<QString> ScriptedDialogs::ChooseFile(QWidget*, FileKind kind,
                                                   const QString& initialPath) {
    fileRequests.push_back(kind);
    lastInitialPath = initialPath;
    return Next(files, std::optional<QString>{});
}

std::optional<sw::model::ColorRef> ScriptedDialogs::ChooseColor(QWidget*, sw::model::ColorRef) {
    ++colorRequests;
    return Next(colors, std::optional<sw::model::ColorRef>{});
}

std::optional<FontChoice> ScriptedDialogs::ChooseFont(QWidget*, const FontChoice& preset) {
    fontPresets.push_back(preset);
    return Next(fonts, std::optional<FontChoice>{});
}

std::optional<int> ScriptedDialogs::ChoosePrint(QWidget*, QPrinter& printer) {
    ++printRequests;
    printCopiesShown.push_back(printer.copyCount());
    return Next(prints, std::optional<int>{});
}

std::optional<int> ScriptedDialogs::ChoosePrintEntries(QWidget*, QPrinter& printer,
                                                       sw::model::PrintChoice& choice, int usedCount) {
    ++printRequests;
    printCopiesShown.push_back(printer.copyCount());
    printChoicesShown.push_back(choice);
    printUsedCounts.push_back(usedCount);
    std::optional<int> copies = Next(prints, std::optional<int>{});
    if (copies && !printChoices.empty()) {
        const sw::model::PrintChoice answer = printChoices.front();
        printChoices.pop_front();
        choice.scope = answer.scope;
        choice.from = answer.from;
        choice.to = answer.to;
    }
    return copies;
}

}  // namespace sw::test
