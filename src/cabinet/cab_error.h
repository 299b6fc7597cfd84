#pragma once
// Failures of the cabinet engine. Each carries a Polish message for the user
// and a kind that callers map to their own reporting (the writer's kinds
// match the numbers the component's error texts are keyed by).
#include "util/failure.h"

#include <string>

enum class CabErrorKind {
    NotCabinet,     // the file is not a cabinet at all
    Damaged,        // structures or data that do not add up
    Unsupported,    // Quantum folders, files spanning cabinets
    Io,             // reading or writing the archive or a target failed
    UnsafeName,     // a stored name that would leave the target folder
    OpenSource = 1, // writer: a file to store cannot be opened
    ReadSource = 2, // writer: a file to store cannot be read
    UnknownCompression = 5,
    CreateCabinet = 6,
    Compression = 8,
    NoSpace = 9,    // extraction: the target's disk cannot hold what would be written
};

class CabError : public Failure {
public:
    CabError(CabErrorKind kind, std::wstring message) : Failure(std::move(message)), kind_(kind) {}
    CabErrorKind kind() const noexcept { return kind_; }

private:
    CabErrorKind kind_;
};

// "Archiwum jest uszkodzone: <detail>."
std::wstring DamagedMessage(const std::wstring& detail);
[[noreturn]] void ThrowDamaged(const std::wstring& detail);
