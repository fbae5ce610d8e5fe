// `qrvtool encode --audio IN [--video IN] [--fps N] -o OUT.qrv`
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "qrvtool.h"

namespace kestrel::tool {
int RunEncode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
}
