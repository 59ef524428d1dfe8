// What every command of the companion tool shares: exit statuses, usage errors, loading.
#include "tools/ToolCommon.h"

#include <cstdio>

#include "model/LabelSetFile.h"

namespace sw::tools {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "stripwise2-sheet: %s (see stripwise2-sheet --help)\n", message.c_str());
    return kExitUsage;
}

bool LoadForTool(const std::string& path, sw::model::LabelSet& set) {
    sw::model::LoadResult r = sw::model::LoadLabelSetFile(path, set);
    if (r.ok && r.endedEarly)
        std::fprintf(stderr, "%s: ファイルが途中で終わっています（%d 行）。足りない値は初期値で読み込みました。\n",
                     path.c_str(), r.linesRead);
    if (r.ok) return true;
    if (r.error.line > 0)
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), r.error.line, r.error.message.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", path.c_str(), r.error.message.c_str());
    return false;
}

}  // namespace sw::tools
