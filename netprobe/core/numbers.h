// NetProbe's include for the shared numbers helpers, which live in common/.
#pragma once

#include "core/shared.h"
