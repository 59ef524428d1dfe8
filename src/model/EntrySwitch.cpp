// Editor position after the registration and selection dialogs.
#include "model/EntrySwitch.h"

#include "model/Cp932.h"
#include "model/FieldNumber.h"

namespace sw::model {


void BeginRegistration(Workspace& ws) {
    ws.editor.ShownModel = ws.labelSet.Entries[ws.editor.CurrentEntry].ButtonModel;
}

Refresh FinishRegistration(Workspace& ws) {
    sw::model::EditorState& e = ws.editor;
    Refresh refresh;
    refresh.entry = true;
    refresh.face = true;
    const int model = ws.labelSet.Entries[e.CurrentEntry].ButtonModel;
    if (model != e.ShownModel) {
        e.ApplyKeyRange(KeyRangeFor(model));
        e.CurrentKeyPos = e.FirstKeyPos;
        refresh.currentKey = true;
    }
    return refresh;
}

Refresh ApplyChosenEntry(Workspace& ws) {
    sw::model::EditorState& e = ws.editor;
    if (e.ChosenEntry < 1 || e.ChosenEntry > sw::model::kEntryCount) return {};
    e.CurrentEntry = e.ChosenEntry;
    e.ApplyKeyRange(KeyRangeFor(ws.labelSet.Entries[e.CurrentEntry].ButtonModel));
    e.CurrentKeyPos = e.FirstKeyPos;
    Refresh refresh;
    refresh.entry = true;
    refresh.face = true;
    refresh.currentKey = true;
    return refresh;
}

int EntryNumberOfField(const QString& text) {
    const std::optional<qlonglong> n = sw::model::FieldNumber(text);
    return n && *n >= 1 && *n <= sw::model::kEntryCount ? static_cast<int>(*n) : 0;
}

QString SelectionItemText(int entry, const sw::model::Bytes& name) {
    // The list shows some 40 characters of a name; laying out a name of a megabyte on every
    // repaint would freeze the dialog, so a long one is shown by its start only.
    constexpr std::size_t kShownBytes = 512;
    const sw::model::Bytes shown = name.size() > kShownBytes ? name.substr(0, kShownBytes) : name;
    return QStringLiteral("(%1) ").arg(entry, 2, 10, QLatin1Char('0')) +
           sw::model::DecodeCp932(shown);
}

}  // namespace sw::model
