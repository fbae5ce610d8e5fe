// `qrvtool decode FILE [--pcm OUT] [--bgr OUT] [--wav OUT] [--png DIR] [--y4m OUT] [--md5]`
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "qrvtool.h"

namespace kestrel::tool {
int RunDecode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
}
