// Running qrvtool in-process from the tests, with captured output.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "qrvtool.h"

namespace kestrel::tool {

struct ToolRun {
  int status;
  std::string out, err;
};

inline ToolRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunQrvtool(args, out, err);
  return {status, out.str(), err.str()};
}

// The exit status alone, with the error text through `err` when given.
inline int Qrvtool(const std::vector<std::string>& args, std::string* err = nullptr) {
  ToolRun run = RunTool(args);
  if (err) *err = run.err;
  return run.status;
}

}  // namespace kestrel::tool
