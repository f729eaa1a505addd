// NetProbe's include for the shared code page service, which lives in common/.
#pragma once

#include "core/shared.h"
