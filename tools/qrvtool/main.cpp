#include <iostream>

#include "qrvtool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kestrel::tool::RunQrvtool(args, std::cout, std::cerr);
}
