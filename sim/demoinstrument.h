#pragma once
// The trial instrument of kelvoscope-demo: one simulated QM4100D in this
// process, offered by the VISA search as a USB resource, so that the program
// connects to it with the default settings (Tools > Connect).

#include <QString>

class Qm4100Sim;

// The resource the trial instrument appears as.
inline constexpr const char *DemoResource = "USB0::0xFFFF::0x4100::SN000001::INSTR";

// Makes the simulator's VISA backend, with the trial instrument as its one
// resource, the only backend of the search (again after a resetVisa()). The
// simulator lives until the program ends; the same one is returned on every
// call.
Qm4100Sim &installDemoInstrument();
