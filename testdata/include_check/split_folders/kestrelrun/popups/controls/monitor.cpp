#include "controls/monitor.h"

#include "registration.h"

int Monitor() { return 0; }
