// The whole label set as UTF-8 JSON, for scripts and for checking files by eye.
#pragma once

#include <string>

#include "model/LabelSet.h"

namespace sw::tools {

std::string LabelSetToJson(const sw::model::LabelSet& set);

}  // namespace sw::tools
