// A portable file reaching into a win/ folder.
#include "util/win/registry.h"
