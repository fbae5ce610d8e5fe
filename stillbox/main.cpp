#include <cstdio>

#include "browser_app.h"
#include "start_options.h"

namespace {

constexpr char kUsage[] =
    "usage: stillbox\n"
    "\n"
    "Kestrel Frames Browser: lists the still frames saved in the Frames folder of\n"
    "the working directory as thumbnails with a preview, and deletes them or\n"
    "saves them under another name. One copy runs at a time: a second start\n"
    "brings the running one forward and makes it read the folder again.\n";

}  // namespace

int main(int argc, char** argv) {
  // Help, the version and usage errors need no display.
  if (const auto status = kestrel::HandleStartOptions(argc, argv, {"stillbox", kUsage}, stdout, stderr)) return *status;
  kestrel::stillbox::CBrowserApp app(argc, argv);
  return app.Run();
}
