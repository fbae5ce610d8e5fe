#include <malloc.h>

#include <iostream>

#include "qrvtool.h"
#include "temporary_files.h"

int main(int argc, char** argv) {
  // Pictures pass through buffers of a few hundred kilobytes, made on
  // several threads. By default each would be mapped afresh, or handed back
  // to the system when freed, and its pages faulted in and cleared again for
  // the next picture; kept in the heap they are reused.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
  kestrel::tool::RemoveTemporariesOnSignals();
  std::vector<std::string> args(argv + 1, argv + argc);
  const int status = kestrel::tool::RunQrvtool(args, std::cout, std::cerr);
  if (!std::cout.flush()) {
    std::cerr << "qrvtool: cannot write to standard output\n";
    return kestrel::tool::kExitIoError;
  }
  return status;
}
