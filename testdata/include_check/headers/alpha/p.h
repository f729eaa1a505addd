#pragma once
#include "q.h"
