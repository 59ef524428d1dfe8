// The choice of management numbers for printing and the preview.
#include "model/PrintChoice.h"

#include <algorithm>

namespace sw::model {

bool EntryIsUsed(const ManagementEntry& entry) {
    if (!entry.Name.empty()) return true;
    const int offset = KeyRangeFor(entry.ButtonModel).KeyOffset;
    for (const PrintFace& face : entry.Faces)
        for (int position = 1; position <= kKeyCount; ++position) {
            if (!PositionPrinted(entry.ButtonModel, position)) continue;
            const int index = position - offset;
            if (index < 1 || index > kKeyCount) continue;
            if (!face.Keys[index].Line1.empty() || !face.Keys[index].Line2.empty()) return true;
        }
    return false;
}

std::vector<int> UsedEntries(const LabelSet& set) {
    std::vector<int> used;
    for (int n = 1; n <= kEntryCount; ++n)
        if (EntryIsUsed(set.Entries[n])) used.push_back(n);
    return used;
}

EntriesToPrintResult EntriesToPrint(const LabelSet& set, const PrintChoice& choice) {
    EntriesToPrintResult result;
    switch (choice.scope) {
        case PrintScope::Current:
            if (choice.current >= 1 && choice.current <= kEntryCount)
                result.entries.push_back(choice.current);
            else
                result.refusal = QStringLiteral("印刷する管理番号がありません。");
            break;
        case PrintScope::AllUsed:
            result.entries = UsedEntries(set);
            if (result.entries.empty())
                result.refusal = QStringLiteral("名称またはキーの文字がある管理番号がないため、何も印刷しませんでした。");
            break;
        case PrintScope::Range: {
            if (choice.from > choice.to) {
                result.refusal = QStringLiteral("管理番号の範囲の始め（%1）が終わり（%2）より後ろです。何も印刷しませんでした。")
                                     .arg(choice.from)
                                     .arg(choice.to);
                break;
            }
            const int from = std::clamp(choice.from, 1, kEntryCount);
            const int to = std::clamp(choice.to, 1, kEntryCount);
            for (int n = from; n <= to; ++n) result.entries.push_back(n);
            break;
        }
    }
    return result;
}

std::vector<int> PreviewEntries(const LabelSet& set, int current) {
    std::vector<int> entries = UsedEntries(set);
    if (current >= 1 && current <= kEntryCount && !std::binary_search(entries.begin(), entries.end(), current))
        entries.insert(std::lower_bound(entries.begin(), entries.end(), current), current);
    return entries;
}

}  // namespace sw::model
