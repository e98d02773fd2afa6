// fenwater: the Fenwater handheld on the desktop. It takes no arguments.
#include "program.h"

int main() {
    return fw::runProgram();
}
