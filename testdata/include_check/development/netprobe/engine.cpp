#include "support/fake_machine.h"
