#include "backup/restorelist.h"

#include <cmath>

#include "backup/entrypaths.h"
#include "util/datetext.h"
#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/textcase.h"

std::wstring MarkupLiteral(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'<': out += L"&lt;"; break;
            case L'>': out += L"&gt;"; break;
            case L'&': out += L"&amp;"; break;
            default: out += c;
        }
    }
    return out;
}

namespace {

// A date as whole seconds: the disk's and the archive's dates are both of
// two-second precision, yet computed along different paths, so their last
// bits may differ.
int64_t Seconds(DateTimeValue date) { return std::llround(date * 86400.0); }

}  // namespace

EntryComparison CompareWithDisk(const std::optional<DiskFile>& disk, DateTimeValue entryDate, int64_t entrySize) {
    EntryComparison result;
    if (!disk) return result;
    if (!disk->exists) {
        result.text = L" <b>nowy plik</b>";
        result.newOrNewer = true;
        return result;
    }
    result.text = L" plik już istnieje, ";
    const int64_t diskTime = Seconds(disk->date), entryTime = Seconds(entryDate);
    if (diskTime == entryTime)
        result.text += L" ta sama data, ";
    else if (diskTime > entryTime)
        result.text += L" plik w archiwum jest starszy, ";
    else
        result.text += L" plik w archiwum jest <b>nowszy</b>, ";
    const bool sameSize = disk->size == entrySize;
    result.text += sameSize ? L" rozmiar ten sam." : L" ma <b>inny rozmiar</b>";
    const bool newer = diskTime < entryTime || (diskTime == entryTime && !sameSize);
    result.newOrNewer = newer;
    result.existingDifferent = newer;
    return result;
}

bool CheckedInMode(RestoreMode mode, const EntryComparison& comparison) {
    switch (mode) {
        case RestoreMode::All: return true;
        case RestoreMode::NewAndNewer: return comparison.newOrNewer;
        case RestoreMode::ExistingOnly: return comparison.existingDifferent;
        case RestoreMode::None: return false;
    }
    return false;
}

std::wstring RestoreItemText(const std::wstring& key, const std::wstring& relPath, const std::wstring& storedName,
                             int64_t size, DateTimeValue date, const std::wstring& comparisonText) {
    return SafeFormat(L"<z>%s</z>%s<b>%s</b> (%s, %s)",
                      {key, MarkupLiteral(relPath), MarkupLiteral(storedName), SizeText(size, false),
                       LongDateTimeText(date)}) +
           L"<br>" + comparisonText;
}

std::wstring CompressionLabel(CabCompression compression, int64_t archiveSize, int64_t filesSize) {
    std::wstring kind;
    switch (compression.method) {
        case CabMethod::Mszip: kind = L"MSZIP"; break;
        case CabMethod::Lzx: kind = L"LZX"; break;
        case CabMethod::None: kind = L"bez kompresji"; break;
        default: kind = CompressionText(compression);
    }
    if (filesSize <= 0) return kind + L" -";
    // Rounded half up in whole numbers: 100.5% shows as 101%.
    const int64_t ratio = (archiveSize * 200 + filesSize) / (filesSize * 2);
    return kind + L" " + std::to_wstring(ratio) + L"%";
}

bool IsInfoFileEntry(const std::wstring& storedName) { return SameTextNoCase(storedName, kInfoFileName); }
