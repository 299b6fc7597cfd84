#include "shell_util.h"

#include <sys/wait.h>

#include <cstdio>

int Shell(const std::string& command, std::string* out) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        if (out) out->append(buf, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }
