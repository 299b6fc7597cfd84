#include "store/win/datasettitle.h"

#include "ui/win/application.h"
#include "ui/win/form.h"
#include "util/paths.h"
#include "util/win/files.h"
#include "util/win/registry.h"

namespace {

std::wstring& DataSet() {
    static std::wstring path = ReadSetting(L"- Ścieżki", L"Zestaw danych", L"");
    return path;
}

}  // namespace

const std::wstring& CurrentDataSet() { return DataSet(); }

bool ShowDataSetInTitle(const std::wstring& path) {
    DataSet() = path;
    bool exists = !path.empty() && FileExists(path);
    if (Form* main = App().MainForm())
        main->SetCaption(exists ? App().Title() + L"    [" + FileNamePart(path) + L"]" : App().Title());
    return exists;
}
