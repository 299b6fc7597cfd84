#include "cabinet/lzx.h"
