#include "core/services.h"
