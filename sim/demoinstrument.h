#pragma once
// The trial instrument of kelvoscope-demo: one simulated QM4100D in this
// process, offered by the VISA search as its one USB resource, so that the
// program connects to it at once with the default settings (Tools > Connect).

#include <QString>

class Qm4100Sim;

// The resource the trial instrument appears as.
inline constexpr const char *DemoResource = "USB0::0xFFFF::0x4100::SN000001::INSTR";

// Registers the simulator's VISA backend with the trial instrument as its one
// resource, in place of the machine's own backends, so that the VISA search
// lists the trial instrument alone (again after a resetVisa()). The simulator lives until the program
// ends; the same one is returned on every call.
Qm4100Sim &installDemoInstrument();
