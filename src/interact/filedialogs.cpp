#include "interact/filedialogs.h"

#include "interact/ask.h"
#include "interact/seam.h"
#include "util/failure.h"
#include "util/paths.h"

namespace {

FileChoice Choice(const std::wstring& title, const std::wstring& proposed, const std::wstring& filter) {
    FileChoice choice;
    choice.title = title;
    choice.filter = filter;
    std::wstring extension = ExtensionPart(proposed);
    choice.defaultExt = extension.empty() ? extension : extension.substr(1);
    choice.fileName = proposed;
    return choice;
}

}  // namespace

std::wstring ChooseOpenFile(const std::wstring& title, const std::wstring& proposed, const std::wstring& filter) {
    auto chosen = Modal().ChooseOpenFile(Choice(title, proposed, filter));
    if (!chosen || chosen->empty()) throw Failure(L"Nie wybrano żadnego pliku.");
    return *chosen;
}

std::wstring ChooseSaveFile(const std::wstring& title, const std::wstring& proposed, const std::wstring& filter) {
    FileChoice choice = Choice(title, proposed, filter);
    choice.initialDir = DirectoryPart(proposed);
    auto chosen = Modal().ChooseSaveFile(choice);
    if (!chosen || chosen->empty()) RaiseError(title + L": Nie wybrano lokalizacji.");
    return *chosen;
}

std::wstring ChooseFolder(const std::wstring& title, const std::wstring& start) {
    auto chosen = Modal().ChooseFolder(title, start);
    return chosen && !chosen->empty() ? WithBackslash(*chosen) : std::wstring();
}
