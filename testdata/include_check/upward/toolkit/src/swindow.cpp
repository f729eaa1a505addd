#include "toolkit/swindow.h"
#include "toolkit/host.h"
