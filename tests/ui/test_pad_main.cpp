// fenwater-test-pad: the program, with a virtual game controller that the end-to-end
// test works through the pipe named by FENWATER_TEST_PAD.
#include "program.h"
#include "test_pad.h"

int main(int argc, char** argv) {
    return fw::runProgram(argc, argv,
                          [](fw::Gamepad& pad) { return fw::test::driveTestPadFrom(pad); });
}
