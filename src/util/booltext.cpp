#include "util/booltext.h"

#include "util/textcase.h"

bool TextToBool(const std::wstring& text) {
    for (const wchar_t* word : {L"1", L"true", L"tak", L"yes"})
        if (SameTextNoCase(text, word)) return true;
    return false;
}

std::wstring BoolToText(bool value) { return value ? L"True" : L"False"; }
