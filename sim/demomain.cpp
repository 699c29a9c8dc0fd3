// kelvoscope-demo: the program with a simulated instrument to connect to.
// It is the ordinary program; only before the start-up does it put the
// simulator's trial instrument into the VISA search.

#include "shell/mainmodule.h"
#include "sim/demoinstrument.h"

int main(int argc, char *argv[])
{
    return RunProgram(argc, argv, [] { installDemoInstrument(); });
}
