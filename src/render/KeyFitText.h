// The fit rule in words: what a key line that does not fit its key is told with, for the
// key texts read from CSV (by the companion tool and by the main window alike).
#pragma once

#include <QString>

#include "model/LabelSet.h"

namespace sw::render {

// Empty when both lines of the key fit grid position 1..30 of face 1..4 at the key's font
// (CheckKeyFit); otherwise, for example, "1行目が横に 3.2mm はみ出します".
QString KeyFitRefusal(const sw::model::KeyLabel& key, int face, int position);

}  // namespace sw::render
