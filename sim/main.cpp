// qm4100-sim: serves a simulated instrument on a pseudo-terminal.
#include <cstdio>

int main()
{
    std::fprintf(stderr, "qm4100-sim: not built yet\n");
    return 1;
}
