#pragma once
// The platform reaching up into the window base.
#include "ui/win/form.h"
