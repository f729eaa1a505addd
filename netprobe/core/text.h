// NetProbe's include for the shared text helpers, which live in common/.
#pragma once

#include "core/shared.h"
