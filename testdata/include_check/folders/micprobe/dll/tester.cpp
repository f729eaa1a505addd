#include "dll/tester.h"
#include "core/errors.h"
