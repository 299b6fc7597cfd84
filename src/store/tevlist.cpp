#include "store/tevlist.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "store/storehost.h"
#include "store/tevstream.h"
#include "util/safeformat.h"
#include "util/tables.h"

namespace {

constexpr std::int64_t kShortFormLimit = 32767;
// The smallest object record: a type number alone.
constexpr size_t kMinObjectRecord = 2;

bool IsSkipped(const tTevPersistent* item) {
    const auto* object = dynamic_cast<const tTevObject*>(item);
    return object && object->Skip();
}

}  // namespace

const TevClass tTevList::kClass{L"tTevList", CreateBlankOf<tTevList>};

tTevList::~tTevList() {
    FreeAll();
    UnregisterOpenList(*this);
}

bool tTevList::UsesLongForm(const tTevStream& stream) const { return longForm_ || stream.LongForm(); }

void tTevList::CheckIndex(int index) const {
    if (index < 0 || index >= LoadedCount()) throw EtevException(SafeFormat(L"Indeks listy poza zakresem (%d).", {index}));
}

int tTevList::Count() {
    EnsureLoaded();
    return LoadedCount();
}

int tTevList::Add(std::unique_ptr<tTevPersistent> item) {
    EnsureLoaded();
    items_.push_back(std::move(item));
    return LoadedCount() - 1;
}

void tTevList::Insert(int index, std::unique_ptr<tTevPersistent> item) {
    EnsureLoaded();
    if (index != LoadedCount()) CheckIndex(index);
    items_.insert(items_.begin() + index, std::move(item));
}

std::unique_ptr<tTevPersistent> tTevList::Extract(int index) {
    EnsureLoaded();
    CheckIndex(index);
    auto item = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    return item;
}

void tTevList::Delete(int index) { Extract(index); }

int tTevList::IndexOf(const tTevPersistent* item) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item) return static_cast<int>(i);
    }
    return -1;
}

tTevObject* tTevList::ObjectAt(int index) const {
    if (index < 0 || index >= LoadedCount()) return nullptr;
    return dynamic_cast<tTevObject*>(items_[static_cast<size_t>(index)].get());
}

tTevPersistent* tTevList::Get(int index) {
    EnsureLoaded();
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].get();
}

void tTevList::Put(int index, std::unique_ptr<tTevPersistent> item) {
    EnsureLoaded();
    CheckIndex(index);
    items_[static_cast<size_t>(index)] = std::move(item);
}

void tTevList::EnsureLoaded() {
    if (!notLoaded_) return;
    // Loaded from now on, so that the file load, which looks at the items,
    // does not come back here.
    notLoaded_ = false;
    StoreHost& host = CurrentStoreHost();
    host.ShowStatus(L"Odczytuję dane... " + filePath_);
    try {
        host.LoadListFromFile(*this, filePath_, true);
    } catch (...) {
        host.FinishProgress();
        throw;
    }
    host.FinishProgress();
}

void tTevList::Unload() {
    FreeAll();
    loadFailed_ = false;
    notLoaded_ = true;
}

tTevPersistent* tTevList::FirstThatWith(int direction, TestWith test, void* userData) {
    EnsureLoaded();
    if (direction == kFromLast) {
        for (size_t i = items_.size(); i-- > 0;) {
            if (i < items_.size() && test(userData, items_[i].get())) return items_[i].get();
        }
    } else {
        for (size_t i = 0; i < items_.size(); ++i) {
            if (test(userData, items_[i].get())) return items_[i].get();
        }
    }
    return nullptr;
}

void tTevList::ForEachWith(int direction, ActionWith action, void* userData) {
    EnsureLoaded();
    // The action may take items out: indexes are checked on every step.
    if (direction == kFromLast) {
        for (size_t i = items_.size(); i-- > 0;) {
            if (i < items_.size()) action(userData, items_[i].get());
        }
    } else {
        for (size_t i = 0; i < items_.size(); ++i) action(userData, items_[i].get());
    }
}

tTevPersistent* tTevList::FirstThat(const std::function<bool(tTevPersistent*)>& test, int direction) {
    using Test = std::function<bool(tTevPersistent*)>;
    return FirstThatWith(
        direction, [](void* f, tTevPersistent* item) { return (*static_cast<const Test*>(f))(item); },
        const_cast<Test*>(&test));
}

void tTevList::ForEach(const std::function<void(tTevPersistent*)>& action, int direction) {
    using Action = std::function<void(tTevPersistent*)>;
    ForEachWith(
        direction, [](void* f, tTevPersistent* item) { (*static_cast<const Action*>(f))(item); },
        const_cast<Action*>(&action));
}

void tTevList::LoadFromStream(tTevStream& stream) {
    std::int64_t count;
    if (UsesLongForm(stream)) {
        count = stream.ReadInt32();
        stream.ReadInt32();  // capacity
        stream.ReadInt32();
    } else {
        count = stream.ReadInt16();
        stream.ReadInt16();
        stream.ReadInt16();
    }
    if (count <= 0) return;
    stream.CheckCount(count, kMinObjectRecord);
    items_.reserve(items_.size() + static_cast<size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) items_.push_back(stream.ReadObject());
}

void tTevList::SaveToStream(tTevStream& stream) {
    EnsureLoaded();
    std::int64_t count = 0;
    for (const auto& item : items_) count += IsSkipped(item.get()) ? 0 : 1;
    const bool longForm = UsesLongForm(stream);
    if (!longForm && count > kShortFormLimit)
        throw EtevException(SafeFormat(L"Lista zawiera %d pozycji, a w krótkim zapisie listy mieści się najwyżej "
                                       L"32767. Tak duża lista musi mieć włączony długi zapis.",
                                       {static_cast<long long>(count)}));
    tTevStream::WriteGuard guard(stream);
    if (longForm) {
        stream.WriteInt32(static_cast<std::int32_t>(count));
        stream.WriteInt32(static_cast<std::int32_t>(count));  // capacity: see the header
        stream.WriteInt32(0);
    } else {
        stream.WriteInt16(static_cast<std::int16_t>(count));
        stream.WriteInt16(static_cast<std::int16_t>(count));
        stream.WriteInt16(0);
    }
    for (const auto& item : items_) {
        if (!IsSkipped(item.get())) stream.WriteObject(item.get());
    }
}

bool tTevList::SaveToOwnFile() {
    if (filePath_.empty()) return false;
    const std::wstring path = filePath_;
    return CurrentStoreHost().SaveListToFile(*this, path, true);
}

void tTevList::FreeAll() {
    // Taken out first: an item's destructor must not find itself still held.
    auto items = std::move(items_);
    items_.clear();
    items.clear();
}

bool tTevList::HasDuplicate(const tTevPersistent* item) {
    const auto* generic = dynamic_cast<const TtevGenericItem*>(item);
    if (!generic) return false;
    EnsureLoaded();
    for (const auto& other : items_) {
        if (other.get() == item) continue;
        const auto* candidate = dynamic_cast<const TtevGenericItem*>(other.get());
        if (candidate && generic->SameItem(*candidate)) return true;
    }
    return false;
}

std::wstring tTevList::Description() {
    const int count = Count();
    return SafeFormat(L"baza zawiera %d pozycji", {count}) + L"\r\n" + CurrentStoreHost().FileDescription(filePath_);
}

void tTevList::TakeContentFrom(tTevList& source) {
    items_.reserve(items_.size() + source.items_.size());
    for (auto& item : source.items_) items_.push_back(std::move(item));
    source.items_.clear();
}

const TevClass tTevSortedList::kClass{L"tTevSortedList", CreateBlankOf<tTevSortedList>};

void tTevSortedList::LoadFromStream(tTevStream& stream) {
    tTevList::LoadFromStream(stream);
    sortedFlag_ = stream.ReadByte();
}

void tTevSortedList::SaveToStream(tTevStream& stream) {
    tTevStream::WriteGuard guard(stream);
    tTevList::SaveToStream(stream);
    stream.WriteByte(sortedFlag_);
}

void tTevSortedList::TakeContentFrom(tTevList& source) {
    tTevList::TakeContentFrom(source);
    if (auto* sorted = dynamic_cast<tTevSortedList*>(&source)) sortedFlag_ = sorted->sortedFlag_;
}

void LoadListContent(tTevList& list, tTevStream& stream) {
    const TevClass& cls = list.ClassType();
    auto blank = cls.createBlank(cls);
    auto* fresh = dynamic_cast<tTevList*>(blank.get());
    if (!fresh) RaiseUnstreamableType(cls.name);
    fresh->SetLongForm(list.LongForm());
    stream.SetLongForm(list.LongForm());
    fresh->LoadFromStream(stream);
    list.TakeContentFrom(*fresh);
}

std::string SaveListContent(tTevList& list) {
    tTevStream stream;
    // The file's size when last loaded or saved is the best guess of the new
    // content's: the buffer is not grown and copied again and again.
    if (list.FileSize() > 0) stream.Reserve(static_cast<size_t>(list.FileSize()) + (static_cast<size_t>(list.FileSize()) >> 4));
    stream.SetLongForm(list.LongForm());
    list.SaveToStream(stream);
    return stream.TakeBytes();
}

// The registries of open lists and the table-bound construction.

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
