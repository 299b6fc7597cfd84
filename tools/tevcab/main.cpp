// tevcab: the cabinet engine on the command line (see --help).
#include "commands.h"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    return RunTevcab(std::vector<std::wstring>(argv + 1, argv + argc));
}
#else
#include "util/cp1250.h"

#include <clocale>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8ToWide(argv[i]));
    return RunTevcab(args);
}
#endif
