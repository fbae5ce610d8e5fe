#include "player_main.h"

int main(int argc, char** argv) { return kestrel::RunPlayer(argc, argv); }
