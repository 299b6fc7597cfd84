#pragma once
#include "util/text.h"
