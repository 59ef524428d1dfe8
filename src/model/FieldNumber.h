// The number a one-line input field holds, read the way a field of digits is read
// everywhere in the program: blanks around it ignored, one optional sign, then digits only.
#pragma once

#include <QString>
#include <optional>

namespace sw::model {

// The value, or nothing when the text is not such a number or does not fit in 64 bits.
inline std::optional<qlonglong> FieldNumber(const QString& text) {
    const QString t = text.trimmed();
    const qsizetype digitsFrom = (t.startsWith(u'+') || t.startsWith(u'-')) ? 1 : 0;
    if (digitsFrom == t.size()) return std::nullopt;
    for (qsizetype i = digitsFrom; i < t.size(); ++i)
        if (t[i] < u'0' || t[i] > u'9') return std::nullopt;
    bool ok = false;
    const qlonglong value = t.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace sw::model
