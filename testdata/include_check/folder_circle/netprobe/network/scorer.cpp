#include "probes/cpu_probe.h"
