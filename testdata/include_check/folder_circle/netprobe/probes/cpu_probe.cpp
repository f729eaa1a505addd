#include "core/shared.h"
