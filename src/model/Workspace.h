// The one label set, editor state and settings of a run, created in main() and handed
// to every window.
#pragma once

#include "model/EditorState.h"
#include "model/FileIdentity.h"
#include "model/LabelSet.h"
#include "model/Settings.h"

namespace sw::model {

struct Workspace {
    LabelSet labelSet;
    EditorState editor;
    AppSettings settings;
    // The file the document was last read from or written to (none after 新規作成).
    FileIdentity file;
};

}  // namespace sw::model
