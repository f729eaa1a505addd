#include "toolkit/host.h"
#include <vector>
