// The platform's cabinet services as a second opinion. cabinet.dll's FDI
// extracts what our writer makes (every byte, and the names, dates and
// attributes it reports), so does the setup API with its Unicode names, and
// our reader reads what FCI makes exactly as FCI was told to store it.
#include "../cab_test_util.h"
#include "cabinet/cab_reader.h"
#include "cabinet/cab_writer.h"
#include "cabinet/stored_name.h"
#include "util/cp1250.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <fci.h>
#include <setupapi.h>
#include <fcntl.h>
#include <fdi.h>
#include <io.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace {

// ---- file callbacks shared by FDI and FCI: the C runtime's handles ---------

// FDI writes the extracted files through the same callbacks as it reads the
// cabinet; handles from kSinkBase on are in-memory files.
constexpr INT_PTR kSinkBase = 0x100000;

struct FdiFile {
    std::string name;  // as FDI reports it
    std::vector<uint8_t> data;
    USHORT date = 0, time = 0, attribs = 0;
    bool closed = false;
};
std::vector<FdiFile>* g_sinks = nullptr;  // of the FDICopy in progress

FdiFile* Sink(INT_PTR hf) {
    return hf >= kSinkBase && g_sinks && static_cast<size_t>(hf - kSinkBase) < g_sinks->size()
               ? &(*g_sinks)[static_cast<size_t>(hf - kSinkBase)]
               : nullptr;
}

FNALLOC(Alloc) { return std::malloc(cb); }
FNFREE(Free) { std::free(pv); }
FNOPEN(FdiOpen) { return _open(pszFile, oflag | _O_BINARY, pmode); }
FNREAD(FdiRead) { return static_cast<UINT>(_read(static_cast<int>(hf), pv, cb)); }
FNWRITE(FdiWrite) {
    if (FdiFile* sink = Sink(hf)) {
        const auto* bytes = static_cast<const uint8_t*>(pv);
        sink->data.insert(sink->data.end(), bytes, bytes + cb);
        return cb;
    }
    return static_cast<UINT>(_write(static_cast<int>(hf), pv, cb));
}
FNCLOSE(FdiClose) { return Sink(hf) ? 0 : _close(static_cast<int>(hf)); }
FNSEEK(FdiSeek) { return _lseek(static_cast<int>(hf), dist, seektype); }

FNFDINOTIFY(Notify) {
    switch (fdint) {
    case fdintCOPY_FILE:
        g_sinks->push_back({pfdin->psz1, {}, pfdin->date, pfdin->time, pfdin->attribs});
        return kSinkBase + static_cast<INT_PTR>(g_sinks->size() - 1);
    case fdintCLOSE_FILE_INFO:
        if (FdiFile* sink = Sink(pfdin->hf)) {
            sink->closed = true;
            sink->attribs = pfdin->attribs;
        }
        return TRUE;
    case fdintNEXT_CABINET: return -1;  // our archives are single cabinets
    default: return 0;
    }
}

struct FdiResult {
    bool copied = false;
    int error = 0;  // ERF.erfOper, an FDIERROR
    FDICABINETINFO info{};
    bool isCabinet = false;
    std::vector<FdiFile> files;
};

// Extracts a whole cabinet into memory with cabinet.dll.
FdiResult FdiExtract(const fs::path& cab) {
    FdiResult result;
    ERF erf{};
    HFDI fdi = FDICreate(Alloc, Free, FdiOpen, FdiRead, FdiWrite, FdiClose, FdiSeek, cpuUNKNOWN, &erf);
    if (!fdi) {
        result.error = erf.erfOper;
        return result;
    }
    const std::string path = cab.parent_path().string() + "\\", name = cab.filename().string();
    const int fd = _open(cab.string().c_str(), _O_RDONLY | _O_BINARY);
    if (fd >= 0) {
        result.isCabinet = FDIIsCabinet(fdi, fd, &result.info);
        _close(fd);
    }
    g_sinks = &result.files;
    result.copied =
        FDICopy(fdi, const_cast<char*>(name.c_str()), const_cast<char*>(path.c_str()), 0, Notify, nullptr, nullptr);
    g_sinks = nullptr;
    if (!result.copied) result.error = erf.erfOper;
    FDIDestroy(fdi);
    return result;
}

// ---- our archives read by FDI ------------------------------------------------

struct Sample {
    std::wstring name;
    std::vector<uint8_t> data;
    bool readOnly = false;
};

// Every file gets the same local last-write time, 2024-03-15 14:37:58, which
// the cabinet must hold as these DOS words.
constexpr USHORT kDosDate = (2024 - 1980) << 9 | 3 << 5 | 15;
constexpr USHORT kDosTime = 14 << 11 | 37 << 5 | 58 / 2;

void SetStamp(const fs::path& path, bool readOnly) {
    SYSTEMTIME local{2024, 3, 5, 15, 14, 37, 58, 0};
    FILETIME localTime, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
    CloseHandle(h);
    if (readOnly) {
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
}

std::vector<Sample> Samples(bool many) {
    std::vector<Sample> samples = {
        {L"pusty.txt", {}},
        {L"a.txt", {'a', 'b', 'c'}},
        {L"zażółć gęślą jaźń.txt", TextBytes(70000, 1), true},
        {L"sub\\日本語 Ελληνικά ąę.txt", TextBytes(20000, 2)},
        {L"sub\\ŁÓDŹ\\duży.txt", TextBytes(1'000'000, 3)},  // larger than one folder
        {L"losowy.bin", RandomBytes(300'000, 4)},
        {L"sub\\pusty drugi", {}},
    };
    if (many)
        for (int i = 0; i < 2000; ++i)
            samples.push_back({L"male\\p" + std::to_wstring(i) + L".txt", TextBytes(i % 300, i)});
    return samples;
}

std::vector<CabSource> Prepare(const TempDir& dir, const std::vector<Sample>& samples) {
    std::vector<CabSource> sources;
    for (size_t i = 0; i < samples.size(); ++i) {
        const fs::path path = dir / "src" / std::to_string(i);
        WriteBytes(path, samples[i].data);
        SetStamp(path, samples[i].readOnly);
        sources.push_back({path, samples[i].name});
    }
    return sources;
}

struct Written {
    const char* label;
    CabCompression compression;
    bool many;  // with 2000 small files
};

class ReadByCabinetDll : public testing::TestWithParam<Written> {};

TEST_P(ReadByCabinetDll, EveryFileExact) {
    TempDir dir;
    const auto samples = Samples(GetParam().many);
    CabWriteOptions options;
    options.compression = GetParam().compression;
    WriteCabinet(dir / "t.cab", Prepare(dir, samples), options);
    const CabReader ours = CabReader::Open(dir / "t.cab");

    const FdiResult fdi = FdiExtract(dir / "t.cab");
    ASSERT_TRUE(fdi.copied) << "FDI error " << fdi.error;
    ASSERT_TRUE(fdi.isCabinet);
    EXPECT_EQ(fdi.info.cFiles, samples.size());
    EXPECT_EQ(fdi.info.cFolders, ours.Folders().size());
    EXPECT_GE(fdi.info.cFolders, 2);
    EXPECT_EQ(fdi.info.setID, 12345);
    EXPECT_EQ(static_cast<uint64_t>(fdi.info.cbCabinet), fs::file_size(dir / "t.cab"));

    ASSERT_EQ(fdi.files.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const FdiFile& file = fdi.files[i];
        const StoredName stored = EncodeStoredName(samples[i].name);
        SCOPED_TRACE(WideToUtf8(samples[i].name));
        EXPECT_TRUE(file.closed);
        EXPECT_EQ(file.name, stored.bytes);
        EXPECT_TRUE(file.data == samples[i].data);
        EXPECT_EQ(file.date, kDosDate);
        EXPECT_EQ(file.time, kDosTime);
        EXPECT_EQ((file.attribs & _A_NAME_IS_UTF) != 0, stored.utf8);
        EXPECT_EQ((file.attribs & _A_RDONLY) != 0, samples[i].readOnly);
        EXPECT_EQ(file.attribs, ours.Entries()[i].attributes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Methods, ReadByCabinetDll,
    testing::Values(Written{"none", {CabMethod::None, 0}, true}, Written{"mszip", {CabMethod::Mszip, 0}, true},
                    Written{"lzx15", {CabMethod::Lzx, 15}, false}, Written{"lzx16", {CabMethod::Lzx, 16}, false},
                    Written{"lzx17", {CabMethod::Lzx, 17}, false}, Written{"lzx18", {CabMethod::Lzx, 18}, false},
                    Written{"lzx19", {CabMethod::Lzx, 19}, false}, Written{"lzx20", {CabMethod::Lzx, 20}, false},
                    Written{"lzx21", {CabMethod::Lzx, 21}, true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ReadByCabinetDll, EmptyArchive) {
    TempDir dir;
    WriteCabinet(dir / "empty.cab", {}, {});
    const FdiResult fdi = FdiExtract(dir / "empty.cab");
    EXPECT_TRUE(fdi.isCabinet);
    EXPECT_EQ(fdi.info.cFiles, 0);
    EXPECT_EQ(fdi.info.cFolders, 0);
    EXPECT_TRUE(fdi.copied) << "FDI error " << fdi.error;
    EXPECT_TRUE(fdi.files.empty());
}

// The Unicode face of the same services: the setup API names every file as
// the platform decodes it and extracts it to disk.
struct SetupRun {
    fs::path folder;                                       // where the files go, as 0, 1, 2, ...
    std::vector<std::pair<std::wstring, fs::path>> files;  // name reported, file written
};

UINT CALLBACK SetupCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    if (notification != SPFILENOTIFY_FILEINCABINET) return NO_ERROR;
    auto* run = static_cast<SetupRun*>(context);
    auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_W*>(param1);
    const fs::path target = run->folder / std::to_wstring(run->files.size());
    run->files.emplace_back(info->NameInCabinet, target);
    wcsncpy(info->FullTargetName, target.c_str(), MAX_PATH - 1);
    return FILEOP_DOIT;
}

TEST(ReadByCabinetDll, SetupApiNamesAndExtracts) {
    TempDir dir;
    const auto samples = Samples(false);
    WriteCabinet(dir / "t.cab", Prepare(dir, samples), {});
    SetupRun run{dir / "setup"};
    fs::create_directories(run.folder);
    ASSERT_TRUE(SetupIterateCabinetW((dir / "t.cab").c_str(), 0, SetupCallback, &run)) << GetLastError();
    ASSERT_EQ(run.files.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        SCOPED_TRACE(WideToUtf8(samples[i].name));
        const StoredName stored = EncodeStoredName(samples[i].name);
        if (stored.utf8) {
            // Wine's setup API ignores the UTF-8 attribute and reads every
            // name in the ANSI code page (its FDI reports the flag).
            EXPECT_THAT(run.files[i].first, testing::AnyOf(samples[i].name, Cp1250ToWide(stored.bytes)));
        } else {
            EXPECT_EQ(run.files[i].first, samples[i].name);
        }
        EXPECT_TRUE(ReadBytes(run.files[i].second) == samples[i].data);
    }
}

// ---- FCI's archives read by us ---------------------------------------------

struct FciFile {
    std::string source;  // path of the file to store
    std::string stored;  // name bytes as FCI is to store them
    std::vector<uint8_t> data;
    USHORT date, time, attribs;
};

struct FciContext {
    fs::path temp;
    int tempCount = 0;
    std::map<std::string, const FciFile*> bySource;
};

FNFCIOPEN(FciOpen) {
    const int fd = _open(pszFile, oflag | _O_BINARY, pmode);
    if (fd < 0) *err = errno;
    return fd;
}
FNFCIREAD(FciRead) { return static_cast<UINT>(_read(static_cast<int>(hf), memory, cb)); }
FNFCIWRITE(FciWrite) { return static_cast<UINT>(_write(static_cast<int>(hf), memory, cb)); }
FNFCICLOSE(FciClose) { return _close(static_cast<int>(hf)); }
FNFCISEEK(FciSeek) { return _lseek(static_cast<int>(hf), dist, seektype); }
FNFCIDELETE(FciDelete) { return std::remove(pszFile); }
FNFCIFILEPLACED(FilePlaced) { return 0; }
FNFCIGETNEXTCABINET(NextCabinet) { return FALSE; }
FNFCISTATUS(Status) { return 0; }
FNFCIGETTEMPFILE(TempFile) {
    auto* context = static_cast<FciContext*>(pv);
    const std::string name = (context->temp / ("fci" + std::to_string(++context->tempCount) + ".tmp")).string();
    if (name.size() >= static_cast<size_t>(cbTempName)) return FALSE;
    strcpy(pszTempName, name.c_str());
    return TRUE;
}
FNFCIGETOPENINFO(OpenInfo) {
    auto* context = static_cast<FciContext*>(pv);
    const FciFile* file = context->bySource.at(pszName);
    *pdate = file->date;
    *ptime = file->time;
    *pattribs = file->attribs;
    return FciOpen(pszName, _O_RDONLY, 0, err, pv);
}

// Makes a cabinet with cabinet.dll's FCI; false when FCI refused.
bool FciWrite(const fs::path& cab, const std::vector<FciFile>& files, TCOMP compression, int* error) {
    FciContext context{cab.parent_path()};
    for (const auto& f : files) context.bySource[f.source] = &f;
    CCAB ccab{};
    ccab.cb = 0x7FFFFFFF;
    ccab.cbFolderThresh = 200000;  // compressed bytes for FCI: several folders even with MSZIP
    ccab.setID = 12345;
    strcpy(ccab.szCab, cab.filename().string().c_str());
    strcpy(ccab.szCabPath, (cab.parent_path().string() + "\\").c_str());
    ERF erf{};
    HFCI fci = FCICreate(&erf, FilePlaced, Alloc, Free, FciOpen, FciRead, FciWrite, FciClose, FciSeek, FciDelete,
                         TempFile, &ccab, &context);
    if (!fci) {
        *error = erf.erfOper;
        return false;
    }
    bool ok = true;
    for (const auto& f : files)
        ok = ok && FCIAddFile(fci, const_cast<char*>(f.source.c_str()), const_cast<char*>(f.stored.c_str()), FALSE,
                              NextCabinet, Status, OpenInfo, compression);
    ok = ok && FCIFlushCabinet(fci, FALSE, NextCabinet, Status);
    if (!ok) *error = erf.erfOper;
    FCIDestroy(fci);
    return ok;
}

std::vector<FciFile> FciFiles(const TempDir& dir, bool many) {
    struct Planned {
        std::wstring name;
        std::vector<uint8_t> data;
        USHORT attribs;
    };
    std::vector<Planned> planned = {
        {L"pusty.txt", {}, _A_ARCH},
        {L"zażółć gęślą jaźń.txt", TextBytes(70000, 11), _A_RDONLY | _A_ARCH},
        {L"sub\\ŁÓDŹ\\duży.txt", TextBytes(1'500'000, 12), _A_HIDDEN},  // spans the folder threshold
        {L"sub\\日本語 Ελληνικά.txt", TextBytes(5000, 13), _A_ARCH | _A_NAME_IS_UTF},
        {L"losowy.bin", RandomBytes(400'000, 14), _A_SYSTEM},
    };
    if (many)
        for (int i = 0; i < 2000; ++i)
            planned.push_back({L"male\\p" + std::to_wstring(i), TextBytes(i % 300, 100 + i), _A_ARCH});
    std::vector<FciFile> files;
    for (size_t i = 0; i < planned.size(); ++i) {
        const fs::path source = dir / "src" / std::to_string(i);
        WriteBytes(source, planned[i].data);
        const std::wstring& name = planned[i].name;
        const std::string stored = planned[i].attribs & _A_NAME_IS_UTF ? WideToUtf8(name) : *WideToCp1250(name);
        const auto stamp = static_cast<USHORT>(i * 7);
        files.push_back({source.string(), stored, planned[i].data, static_cast<USHORT>(kDosDate - stamp % 300),
                         static_cast<USHORT>(kDosTime + stamp % 1000), planned[i].attribs});
    }
    return files;
}

class WrittenByCabinetDll : public testing::TestWithParam<std::pair<const char*, TCOMP>> {};

TEST_P(WrittenByCabinetDll, WeReadItExactly) {
    TempDir dir;
    const auto files = FciFiles(dir, true);
    int error = 0;
    ASSERT_TRUE(FciWrite(dir / "fci.cab", files, GetParam().second, &error)) << "FCI error " << error;

    CabReader reader = CabReader::Open(dir / "fci.cab");
    EXPECT_GE(reader.Folders().size(), 2u);
    for (const auto& folder : reader.Folders()) EXPECT_EQ(folder.typeCompress, GetParam().second);
    ASSERT_EQ(reader.Entries().size(), files.size());
    MemoryTarget target;
    const auto failures = reader.Extract(AllEntries(reader), target);
    for (const auto& f : failures) ADD_FAILURE() << "entry " << f.index << ": " << WideToUtf8(f.message);
    EXPECT_TRUE(reader.Test().empty());
    for (size_t i = 0; i < files.size(); ++i) {
        const CabEntry& entry = reader.Entries()[i];
        SCOPED_TRACE(entry.storedName);
        EXPECT_EQ(entry.storedName, files[i].stored);
        EXPECT_EQ(entry.name, DecodeStoredName(files[i].stored, files[i].attribs));
        EXPECT_EQ(entry.size, files[i].data.size());
        EXPECT_EQ(entry.date, files[i].date);
        EXPECT_EQ(entry.time, files[i].time);
        EXPECT_EQ(entry.attributes, files[i].attribs);
        EXPECT_TRUE(target.done[i] == files[i].data);
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, WrittenByCabinetDll,
                         testing::Values(std::pair<const char*, TCOMP>{"none", tcompTYPE_NONE},
                                         std::pair<const char*, TCOMP>{"mszip", tcompTYPE_MSZIP}),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
