#pragma once
// Portable core, leaning on the interaction layer above it.
#include "interact/ask.h"
