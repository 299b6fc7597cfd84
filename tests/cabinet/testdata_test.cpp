// Every cabinet of the test data (tests/data/cabs), compared with what cabextract made of
// it (expected.txt: status, then size, MD5 and name of every file written).
// The real extraction path is used: files go to a temporary folder.
#include "cab_test_util.h"
#include "cabinet/cab_error.h"
#include "cabinet/cab_reader.h"
#include "cabinet/file_target.h"
#include "cabinet/safe_name.h"
#include "util/cp1250.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path kData = CAB_TESTDATA;

struct Written {
    uint32_t size;
    std::string md5;
    std::string name;  // "\" shown as "/", as cabextract does
    bool operator<(const Written& o) const { return std::tie(name, size, md5) < std::tie(o.name, o.size, o.md5); }
    bool operator==(const Written& o) const = default;
};

void PrintTo(const Written& w, std::ostream* os) { *os << w.size << " " << w.md5 << " " << w.name; }

struct Outcome {
    bool ok = true;
    std::vector<Written> files;
};

std::map<std::string, Outcome> ReadExpected(const fs::path& file) {
    std::map<std::string, Outcome> result;
    std::ifstream in(file);
    std::string line;
    Outcome* current = nullptr;
    while (std::getline(in, line)) {
        if (line.starts_with("== ")) {
            current = &result[line.substr(3)];
        } else if (line.starts_with("status: ")) {
            current->ok = line == "status: ok";
        } else if (!line.empty()) {
            std::istringstream fields(line);
            Written w;
            fields >> w.size >> w.md5;
            std::getline(fields >> std::ws, w.name);
            current->files.push_back(w);
        }
    }
    return result;
}

class RecordingTarget : public FileTarget {
public:
    using FileTarget::FileTarget;
    const CabReader* reader = nullptr;
    fs::path folder;
    std::vector<Written> written;
    void Finish(size_t index) override {
        FileTarget::Finish(index);
        const CabEntry& e = reader->Entries()[index];
        std::string shown = e.storedName;
        std::replace(shown.begin(), shown.end(), '\\', '/');
        const auto bytes = ReadBytes(folder / *SafeRelativePath(e.name));
        written.push_back({static_cast<uint32_t>(bytes.size()), Md5Hex(bytes), shown});
    }
};

Outcome ExtractAll(const fs::path& cab, const fs::path& folder, std::wstring& error) {
    Outcome outcome;
    try {
        CabReader reader = CabReader::Open(cab);
        RecordingTarget target(folder);
        target.reader = &reader;
        target.folder = folder;
        std::vector<size_t> all(reader.Entries().size());
        for (size_t i = 0; i < all.size(); ++i) all[i] = i;
        const auto failures = reader.Extract(all, target);
        outcome.ok = failures.empty();
        if (!failures.empty()) error = failures.front().message;
        outcome.files = target.written;
    } catch (const CabError& e) {
        outcome.ok = false;
        error = e.message();
    }
    return outcome;
}

// Where our reader knowingly differs from cabextract.
struct Deviation {
    const char* cab;
    const char* why;
    bool ok;
    std::set<std::string> files;  // names we write
};
const Deviation kDeviations[] = {
    {"mszip_lzx_qtm.cab", "Quantum folders are refused", false, {"lzx.txt", "mszip.txt"}},
    {"search_basic.cab", "the cabinet must start the file (no search for embedded ones)", false, {}},
    {"search_tricky1.cab", "the cabinet must start the file", false, {}},
    {"bad_nofiles.cab", "a cabinet without files is a valid empty archive", true, {}},
};

class TestData : public testing::TestWithParam<std::string> {};

TEST_P(TestData, MatchesCabextract) {
    const fs::path folder = kData / GetParam();
    const auto expected = ReadExpected(folder / "expected.txt");
    ASSERT_FALSE(expected.empty());
    for (const auto& [name, want] : expected) {
        SCOPED_TRACE(name);
        TempDir out;
        std::wstring error;
        Outcome got = ExtractAll(folder / name, out.path(), error);
        // Nothing is written outside the target folder, and no temporary
        // file survives.
        for (const auto& entry : fs::recursive_directory_iterator(out.path()))
            EXPECT_FALSE(entry.path().string().ends_with(".tevtmp")) << entry.path();
        if (!got.ok) {
            EXPECT_FALSE(error.empty());
        }
        std::sort(got.files.begin(), got.files.end());
        auto wanted = want.files;
        std::sort(wanted.begin(), wanted.end());

        const Deviation* deviation = nullptr;
        for (const auto& d : kDeviations)
            if (name == d.cab) deviation = &d;
        if (deviation) {
            EXPECT_EQ(got.ok, deviation->ok) << deviation->why;
            std::set<std::string> names;
            for (const auto& w : got.files) names.insert(w.name);
            EXPECT_EQ(names, deviation->files) << deviation->why;
            for (const auto& w : got.files)
                EXPECT_NE(std::find(want.files.begin(), want.files.end(), w), want.files.end()) << w.name;
            continue;
        }
        if (want.ok) {
            EXPECT_TRUE(got.ok) << WideToUtf8(error);
            EXPECT_EQ(got.files, wanted);
        } else {
            // A damaged cabinet: we may write fewer files than cabextract
            // (never a partial one), but each must match what it wrote.
            EXPECT_FALSE(got.ok);
            for (const auto& w : got.files)
                EXPECT_NE(std::find(want.files.begin(), want.files.end(), w), want.files.end()) << w.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cabs, TestData, testing::Values("libmspack", "libarchive"));

}  // namespace
