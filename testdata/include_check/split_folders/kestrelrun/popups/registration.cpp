#include "registration.h"

#include "controls/monitor.h"

void Register() { Monitor(); }
