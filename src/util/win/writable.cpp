#include <windows.h>

#include "util/win/writable.h"

#include "interact/ask.h"

std::wstring AttributeText(std::uint32_t attributes) {
    static const struct {
        std::uint32_t flag;
        const wchar_t* text;
    } kTexts[] = {
        {FILE_ATTRIBUTE_HIDDEN, L"Plik ukryty. "},
        {FILE_ATTRIBUTE_READONLY, L"Plik tylko do odczytu. "},
        {FILE_ATTRIBUTE_SYSTEM, L"Plik systemowy. "},
        {FILE_ATTRIBUTE_ARCHIVE, L"Plik archiwalny. "},
        {FILE_ATTRIBUTE_COMPRESSED, L"Plik skompresowany. "},
        {FILE_ATTRIBUTE_DIRECTORY, L"Plik folderu. "},
    };
    std::wstring text;
    for (const auto& t : kTexts)
        if (attributes & t.flag) text += t.text;
    return text;
}

bool EnsureWritable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    constexpr DWORD kBlocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & kBlocking)) return true;

    // Clearing the attributes only makes the file writable again; it is the
    // caller's write that replaces data, and that has its own questions.
    if (Ask(L"Atrybuty pliku uniemożliwiają zapis do niego. Taka sytuacja powstaje na przykład wtedy, gdy "
            L"kopiowałeś pliki z płyty CD-ROM.\r\nCzy usunąć atrybuty uniemożliwiające zapis i kasowanie?\r\n" +
            AttributeText(attributes) + L" " + path) &&
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) {
        AskRemembered(L"Atrybuty pliku zostały pomyślnie zmienione.", L"wyzerowanEAtrybutyPLiku", true);
        return true;
    }
    Ask(L"Niestety, nie udało się zmienić atrybutów pliku. Zapis nie będzie możliwy.\r\n" + path);
    return false;
}
