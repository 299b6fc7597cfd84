#include "store/openlists.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "store/storehost.h"
#include "store/tevlist.h"
#include "util/tables.h"

namespace {

std::vector<tTevList*>& DataListsHeld() {
    static std::vector<tTevList*> lists;
    return lists;
}

std::vector<tTevList*>& ReferenceListsHeld() {
    static std::vector<tTevList*> lists;
    return lists;
}

bool quietStart = false;

tTevList* FirstOfTable(const std::vector<tTevList*>& lists, int table) {
    for (tTevList* list : lists) {
        if (list->TableNumber() == table) return list;
    }
    return nullptr;
}

class BusyCursor {
public:
    explicit BusyCursor(StoreHost& host) : host_(host) { host_.BeginBusy(); }
    ~BusyCursor() { host_.EndBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    StoreHost& host_;
};

}  // namespace

const std::vector<tTevList*>& DataLists() { return DataListsHeld(); }

const std::vector<tTevList*>& ReferenceLists() { return ReferenceListsHeld(); }

tTevList* FindOpenList(int table) {
    if (tTevList* list = FirstOfTable(DataListsHeld(), table)) return list;
    return FirstOfTable(ReferenceListsHeld(), table);
}

bool QuietStart() { return quietStart; }

void SetQuietStart(bool quiet) { quietStart = quiet; }

void RegisterOpenList(tTevList& list) {
    auto& lists = IsReferenceTable(list.TableNumber()) ? ReferenceListsHeld() : DataListsHeld();
    if (std::find(lists.begin(), lists.end(), &list) == lists.end()) lists.push_back(&list);
}

void UnregisterOpenList(tTevList& list) {
    for (auto* lists : {&DataListsHeld(), &ReferenceListsHeld()}) std::erase(*lists, &list);
}

void tTevList::CreateForTable(int table, std::wstring& path) {
    if (created_) return;
    StoreHost& host = CurrentStoreHost();
    BusyCursor busy(host);
    SetTableNumber(table);
    path = host.ResolveTablePath(table, path);
    const bool reference = IsReferenceTable(table);
    notLoaded_ = reference;
    if (host.FileExists(path)) {
        // A dictionary is read when first asked for; a data table now. A
        // failed read has been reported by the load itself.
        if (reference) {
            filePath_ = path;
        } else {
            host.LoadListFromFile(*this, path, false);
        }
    } else if (!QuietStart() && !reference) {
        const std::wstring question = path +
                                      L": Nie powiodła się inicjalizacja bazy danych. Zapewne pliku nie ma jeszcze "
                                      L"na dysku.\r\nPlik danych zostanie teraz utworzony. Następnym razem zostanie "
                                      L"odczytany automatycznie.";
        const std::wstring key = L"plikInit" + std::to_wstring(static_cast<long long>(std::floor(host.Now())));
        if (host.AskRemembered(question, key)) host.SaveListToFile(*this, path, true);
    }
    RegisterOpenList(*this);
    created_ = true;
}
