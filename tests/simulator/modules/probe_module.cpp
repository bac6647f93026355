// A module that says where it was loaded from, with a version block of 1.0.3.0.
#include "simulator/machine/version_block.h"

TOLVANE_MODULE_VERSION(1, 0, 3, 0);

extern "C" const char* ProbePlace() { return PROBE_PLACE; }
