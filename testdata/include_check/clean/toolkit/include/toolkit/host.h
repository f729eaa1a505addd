#pragma once
#include "toolkit/swindow.h"
