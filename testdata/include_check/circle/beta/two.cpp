#include "alpha/one.h"
