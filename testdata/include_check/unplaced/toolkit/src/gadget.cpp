#include "toolkit_thing.h"
