// fenwater [GAME.fenwater]: the Fenwater handheld on the desktop; a saved game given
// plays once Play is pressed.
#include "program.h"

int main(int argc, char** argv) {
    return fw::runProgram(argc, argv);
}
