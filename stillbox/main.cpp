#include "browser_app.h"

int main(int argc, char** argv) {
  CBrowserApp app(argc, argv);
  return app.Run();
}
