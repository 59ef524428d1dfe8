// The companion tool's calibrate command: the calibration sheet to PNG or PDF.
#pragma once

#include <string>
#include <vector>

namespace sw::tools {

// Needs no label set; draws text, so it starts its own font session.
int RunCalibrate(const std::vector<std::string>& args);

}  // namespace sw::tools
