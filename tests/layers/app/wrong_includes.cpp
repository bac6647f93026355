// Includes that cross the layers on purpose, for the include check's own test.
#include "platform/kernel_object.h"
#include "simulator/machine/machine.h"
#include <QWidget>
