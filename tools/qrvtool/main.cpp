#include <iostream>

#include "qrvtool.h"
#include "temporary_files.h"

int main(int argc, char** argv) {
  kestrel::tool::RemoveTemporariesOnSignals();
  std::vector<std::string> args(argv + 1, argv + argc);
  const int status = kestrel::tool::RunQrvtool(args, std::cout, std::cerr);
  if (!std::cout.flush()) {
    std::cerr << "qrvtool: cannot write to standard output\n";
    return kestrel::tool::kExitIoError;
  }
  return status;
}
