#include "network/scorer.h"
