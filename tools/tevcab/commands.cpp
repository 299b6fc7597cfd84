#include "commands.h"

#include "cabinet/cab_error.h"
#include "cabinet/platform_file.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cab_writer.h"
#include "cabinet/dos_time.h"
#include "cabinet/file_target.h"
#include "cabinet/platform_file.h"
#include "cabinet/stored_name.h"
#include "console.h"
#include "util/cp1250.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

constexpr std::wstring_view kHelp =
    L"tevcab - archiwa CAB (bez kompresji, MSZIP, LZX)\n"
    L"\n"
    L"Użycie:\n"
    L"  tevcab create [-m none|mszip|lzx[:15-21]] ARCHIWUM ŚCIEŻKA...\n"
    L"      Pakuje pliki i foldery (z podfolderami). Nazwy w archiwum są względne\n"
    L"      wobec folderu nadrzędnego każdej ŚCIEŻKI, z \"\\\" jako separatorem.\n"
    L"      Domyślnie mszip; lzx bez liczby oznacza okno 2^21 bajtów.\n"
    L"  tevcab list ARCHIWUM\n"
    L"      Wypisuje pliki: rozmiar, data, godzina, nazwa.\n"
    L"  tevcab extract [-C FOLDER] [-j WĄTKI] ARCHIWUM [NAZWA...]\n"
    L"      Rozpakowuje wszystkie pliki albo tylko podane (wielkość liter A-Z\n"
    L"      bez znaczenia) do FOLDERU (domyślnie bieżącego). Istniejące pliki są\n"
    L"      zastępowane dopiero po poprawnym rozpakowaniu. Foldery archiwum są\n"
    L"      rozpakowywane równolegle (domyślnie jeden wątek na procesor, do 4).\n"
    L"  tevcab test [-j WĄTKI] ARCHIWUM\n"
    L"      Rozpakowuje w pamięci każdy blok, sprawdza sumy kontrolne i budowę\n"
    L"      archiwum; wypisuje każdy plik, którego nie dałoby się rozpakować.\n"
    L"\n"
    L"Kod wyjścia 0 oznacza sukces; przy błędzie opis trafia na stderr.\n";

struct UsageError {
    std::wstring message;
};

// Shows "\r  37%  name" on a terminal; nothing when stderr is redirected.
class Progress {
public:
    explicit Progress(uint64_t total) : total_(total), enabled_(ErrIsTerminal()) {}
    ~Progress() {
        if (shown_) Err(L"\r\033[K");
    }
    void Add(uint64_t done, const std::wstring& label = {}) {
        done_ += done;
        if (!enabled_) return;
        const int percent = total_ ? static_cast<int>(std::min<uint64_t>(100, done_ * 100 / total_)) : 100;
        if (percent == last_ && label == label_) return;
        last_ = percent;
        label_ = label;
        shown_ = true;
        wchar_t text[16];
        std::swprintf(text, 16, L"\r%4d%%  ", percent);
        Err(text + label + L"\033[K");
    }

private:
    uint64_t total_, done_ = 0;
    bool enabled_, shown_ = false;
    int last_ = -1;
    std::wstring label_;
};

CabCompression ParseMethod(const std::wstring& text) {
    if (text == L"none") return {CabMethod::None, 0};
    if (text == L"mszip") return {CabMethod::Mszip, 0};
    if (text == L"lzx") return {CabMethod::Lzx, 21};
    if (text.starts_with(L"lzx:")) {
        const std::wstring bits = text.substr(4);
        if (bits.size() == 2 && std::iswdigit(bits[0]) && std::iswdigit(bits[1])) {
            const int n = std::stoi(bits);
            if (n >= 15 && n <= 21) return {CabMethod::Lzx, n};
        }
    }
    throw UsageError{L"Nieznana metoda kompresji „" + text + L"”: dozwolone none, mszip, lzx, lzx:15 … lzx:21."};
}

// Files under path, named relative to path's parent with "\" separators.
void Collect(const fs::path& path, std::vector<CabSource>& out) {
    const fs::path absolute = fs::absolute(path).lexically_normal();
    fs::path base = absolute.has_filename() ? absolute.parent_path() : absolute.parent_path().parent_path();
    auto storedName = [&](const fs::path& file) {
        std::wstring name = WideFromPath(file.lexically_relative(base));
        std::replace(name.begin(), name.end(), L'/', L'\\');
        return name;
    };
    std::error_code ec;
    if (fs::is_directory(absolute, ec)) {
        std::vector<fs::path> files;
        for (auto it = fs::recursive_directory_iterator(absolute, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->is_regular_file()) files.push_back(it->path());
        if (ec) throw Failure(L"Nie można przejrzeć folderu „" + WideFromPath(path) + L"”.");
        std::sort(files.begin(), files.end());
        for (auto& file : files) {
            std::wstring name = storedName(file);
            out.push_back({std::move(file), std::move(name)});
        }
    } else if (fs::is_regular_file(absolute, ec)) {
        out.push_back({absolute, storedName(absolute)});
    } else {
        throw Failure(L"Nie ma pliku ani folderu „" + WideFromPath(path) + L"”.");
    }
}

int Create(std::vector<std::wstring> args) {
    CabWriteOptions options;
    if (args.size() >= 2 && args[0] == L"-m") {
        options.compression = ParseMethod(args[1]);
        args.erase(args.begin(), args.begin() + 2);
    } else if (!args.empty() && args[0].starts_with(L"-m")) {
        options.compression = ParseMethod(args[0].substr(2));
        args.erase(args.begin());
    }
    if (args.size() < 2) throw UsageError{L"create: podaj archiwum i co najmniej jedną ścieżkę."};
    std::vector<CabSource> sources;
    for (size_t i = 1; i < args.size(); ++i) Collect(PathFromWide(args[i]), sources);
    uint64_t total = 0;
    for (const auto& s : sources) total += SourceSize(s.path);
    Progress progress(total);
    WriteCabinet(PathFromWide(args[0]), sources, options, [&](size_t, size_t u) { progress.Add(u); });
    return 0;
}

std::wstring DateText(const CabEntry& e) {
    wchar_t text[32];
    if (const auto t = DecodeDos({e.date, e.time}))
        std::swprintf(text, 32, L"%04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour, t->minute, t->second);
    else
        std::swprintf(text, 32, L"%-10ls %-8ls", L"-", L"-");
    return text;
}

int List(const std::vector<std::wstring>& args) {
    if (args.size() != 1) throw UsageError{L"list: podaj jedno archiwum."};
    const CabReader reader = CabReader::Open(PathFromWide(args[0]));
    std::wstring out;
    for (const CabEntry& e : reader.Entries()) {
        wchar_t size[16];
        std::swprintf(size, 16, L"%10u ", e.size);
        out += size + DateText(e) + L" " + e.name + L"\n";
    }
    Out(out);
    // A part of a multi-cabinet set: say so where the listing is not read.
    const CabSetInfo& set = reader.SetInfo();
    if (!set.previousCabinet.empty() || !set.nextCabinet.empty())
        Err(L"tevcab: archiwum jest " + std::to_wstring(set.index + 1) + L". częścią zestawu " +
            std::to_wstring(set.setId) + L" (poprzednie: „" + Cp1250ToWide(set.previousCabinet) + L"”, następne: „" +
            Cp1250ToWide(set.nextCabinet) + L"”); pliki dzielone między części nie dadzą się rozpakować.\n");
    return 0;
}

// "-j N" at the front of the arguments: the worker threads (0: default).
unsigned TakeThreads(std::vector<std::wstring>& args) {
    if (args.size() < 2 || args[0] != L"-j") return 0;
    const std::wstring text = args[1];
    args.erase(args.begin(), args.begin() + 2);
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswdigit(c); }))
        throw UsageError{L"-j: podaj liczbę wątków od 1 do 64."};
    const int n = std::stoi(text);
    if (n < 1 || n > 64) throw UsageError{L"-j: podaj liczbę wątków od 1 do 64."};
    return static_cast<unsigned>(n);
}

// An entry's name for messages; entries without one by their number.
std::wstring EntryLabel(const CabReader& reader, size_t index) {
    if (index == CabEntryFailure::kNoEntry) return L"";
    const std::wstring& name = reader.Entries()[index].name;
    return (name.empty() ? L"plik nr " + std::to_wstring(index + 1) : name) + L": ";
}

std::wstring Normalized(std::wstring name) {
    std::replace(name.begin(), name.end(), L'/', L'\\');
    return name;
}

int Extract(std::vector<std::wstring> args) {
    fs::path folder = L".";
    unsigned threads = 0;
    for (bool more = true; more;) {
        more = false;
        if (args.size() >= 2 && args[0] == L"-C") {
            folder = PathFromWide(args[1]);
            args.erase(args.begin(), args.begin() + 2);
            more = true;
        } else if (!args.empty() && args[0] == L"-j") {
            threads = TakeThreads(args);
            more = true;
        }
    }
    if (args.empty()) throw UsageError{L"extract: podaj archiwum."};
    CabReader reader = CabReader::Open(PathFromWide(args[0]));
    const auto& entries = reader.Entries();
    std::vector<size_t> wanted;
    int status = 0;
    if (args.size() == 1) {
        for (size_t i = 0; i < entries.size(); ++i) wanted.push_back(i);
    } else {
        for (size_t a = 1; a < args.size(); ++a) {
            const size_t before = wanted.size();
            for (size_t i = 0; i < entries.size(); ++i)
                if (SameNameAsciiNoCase(Normalized(entries[i].name), Normalized(args[a]))) wanted.push_back(i);
            if (wanted.size() == before) {
                Err(L"tevcab: w archiwum nie ma pliku „" + args[a] + L"”.\n");
                status = 1;
            }
        }
    }
    uint64_t total = 0;
    for (size_t i : wanted) total += entries[i].size;
    Progress progress(total);
    FileTarget target(folder);
    uint64_t last = 0;
    if (ErrIsTerminal()) {
        target.onEntry = [&](const CabEntry&) { last = 0; };
        target.onWritten = [&](const CabEntry& e, uint64_t written) {
            progress.Add(written - last, e.name);
            last = written;
        };
    }
    for (const auto& failure : reader.Extract(wanted, target, {}, threads)) {
        Err(L"tevcab: " + EntryLabel(reader, failure.index) + failure.message + L"\n");
        status = 1;
    }
    return status;
}

int Test(std::vector<std::wstring> args) {
    const unsigned threads = TakeThreads(args);
    if (args.size() != 1) throw UsageError{L"test: podaj jedno archiwum."};
    CabReader reader = CabReader::Open(PathFromWide(args[0]));
    uint64_t total = 0;
    for (const auto& e : reader.Entries()) total += e.size;
    std::vector<CabEntryFailure> failures;
    {
        Progress progress(total);
        failures = reader.Test([&](size_t, size_t u) { progress.Add(u); }, threads);
    }
    for (const auto& failure : failures) Err(L"tevcab: " + EntryLabel(reader, failure.index) + failure.message + L"\n");
    return failures.empty() ? 0 : 1;
}

}  // namespace

int RunTevcab(const std::vector<std::wstring>& args) {
    try {
        if (args.empty() || args[0] == L"--help" || args[0] == L"-h") {
            (args.empty() ? Err : Out)(kHelp);
            return args.empty() ? 2 : 0;
        }
        const std::wstring& command = args[0];
        const std::vector<std::wstring> rest(args.begin() + 1, args.end());
        if (command == L"create") return Create(rest);
        if (command == L"list") return List(rest);
        if (command == L"extract") return Extract(rest);
        if (command == L"test") return Test(rest);
        throw UsageError{L"nieznane polecenie „" + command + L"”."};
    } catch (const UsageError& e) {
        Err(L"tevcab: " + e.message + L"\nWięcej: tevcab --help\n");
        return 2;
    } catch (const Failure& f) {
        Err(L"tevcab: " + f.message() + L"\n");
        return 1;
    } catch (const std::exception& e) {
        Err(L"tevcab: " + Utf8ToWide(e.what()) + L"\n");
        return 1;
    }
}
