#include "core/errors.h"
#include "dll/tester.h"
