// A Windows branch of a portable file: allowed.
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif
