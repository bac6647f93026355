// The version block of a test module as the Linux stand-in reads it:
// TEST_MODULE_VERSION is "a,b,c,d".
#include "simulator/machine/version_block.h"

#define EMBED_TEST_MODULE_VERSION(parts) TOLVANE_MODULE_VERSION(parts)
EMBED_TEST_MODULE_VERSION(TEST_MODULE_VERSION);
