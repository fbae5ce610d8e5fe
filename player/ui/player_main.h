#pragma once

namespace kestrel {

// The whole player program: `player [FILE.qrv]`. Returns the exit status.
int RunPlayer(int argc, char** argv);

}  // namespace kestrel
