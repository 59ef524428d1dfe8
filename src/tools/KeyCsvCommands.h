// The companion tool's key-text commands: the two lines of every key out to a CSV file and
// back in from one, each row checked before anything is written.
#pragma once

#include <string>
#include <vector>

namespace sw::tools {

int RunExport(const std::vector<std::string>& args);
// Needs fonts for the fit check: it starts its own FontSession.
int RunImport(const std::vector<std::string>& args);

}  // namespace sw::tools
