// What every command of the companion tool shares: exit statuses, usage errors, loading.
#pragma once

#include <string>

#include "model/LabelSet.h"

namespace sw::tools {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "stripwise2-sheet: message (see stripwise2-sheet --help)" and returns kExitUsage.
int UsageError(const std::string& message);

// Loads a label set; on failure prints FILE:LINE: message and returns false.
bool LoadForTool(const std::string& path, sw::model::LabelSet& set);

}  // namespace sw::tools
