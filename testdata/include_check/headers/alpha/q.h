#pragma once
#include "p.h"
