#pragma once
#include "beta/two.h"
