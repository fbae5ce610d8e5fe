// `qrvtool export FILE -o OUT` (.wav, .y4m, .mp4, .webm).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "qrvtool.h"

namespace kestrel::tool {
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
}
