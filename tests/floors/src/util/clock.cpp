// A Windows header without a guard in a portable file.
#include <windows.h>
