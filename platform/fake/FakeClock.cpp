// Compiles the header on its own so a missing include shows here first.
#include "platform/fake/FakeClock.h"
