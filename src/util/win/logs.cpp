#include "util/win/logs.h"

#include "interact/seam.h"
#include "util/datetext.h"
#include "util/paths.h"
#include "util/textfile.h"
#include "util/win/files.h"

namespace {

std::wstring runLog;

std::wstring DatedLine(const std::wstring& text) {
    return FormatPolishDate(L"dd-mm-yyyy hh:mm:ss", Modal().Now()) + L" - " + text;
}

}  // namespace

bool AppendLog(const std::wstring& path, const std::wstring& text) {
    std::wstring file = DirectoryPart(path).empty() ? DirectoryPart(ProgramFile()) + path : path;
    return AppendLine(file, DatedLine(text));
}

bool ProgramLog(const std::wstring& text) {
    std::wstring line = DatedLine(text);
    runLog += line + L"\r\n";
    return AppendLine(ProgramFile() + L".log", line);
}

const std::wstring& ProgramLogText() { return runLog; }
