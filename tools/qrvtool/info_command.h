// `qrvtool info FILE [--json]`: header fields, record counts and well-formedness.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "qrvtool.h"

namespace kestrel::tool {
int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
}
