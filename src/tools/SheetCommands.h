// The companion tool's sheet commands: render a sheet to PNG or PDF, and check a label set
// for text that will not fit, missing pictures and missing fonts before printing.
#pragma once

#include <string>
#include <vector>

#include "model/LabelSet.h"

namespace sw::tools {

// Both need a QGuiApplication (fonts) with the font substitutions installed.
int RunRender(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);

}  // namespace sw::tools
