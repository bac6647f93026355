// Includes that cross the layers on purpose, for the include check's own test:
// every one but the first two breaks a rule.
#include <cstdint>

#include "device/records.h"
#include "../simulator/machine/bus.h"
#include "platform/window_host.h"
#include <unistd.h>
