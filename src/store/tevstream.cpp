#include "store/tevstream.h"

#include <cstring>
#include <exception>
#include <limits>

#include "util/cp1250.h"
#include "util/safeformat.h"

std::string tTevStream::TakeBytes() {
    std::string out = std::move(bytes_);
    bytes_.clear();
    pos_ = 0;
    return out;
}

void tTevStream::Truncate(size_t size) {
    if (size < bytes_.size()) bytes_.resize(size);
    if (pos_ > bytes_.size()) pos_ = bytes_.size();
}

void tTevStream::Put(const void* data, size_t size) {
    if (pos_ == bytes_.size()) {
        bytes_.append(static_cast<const char*>(data), size);
    } else {
        if (pos_ + size > bytes_.size()) bytes_.resize(pos_ + size);
        std::memcpy(bytes_.data() + pos_, data, size);
    }
    pos_ += size;
}

void tTevStream::Get(void* data, size_t size) {
    if (size > Remaining())
        RaiseDamaged(SafeFormat(L"dane kończą się przedwcześnie, potrzeba jeszcze %d bajtów, a zostało %d",
                                {static_cast<long long>(size), static_cast<long long>(Remaining())}));
    std::memcpy(data, bytes_.data() + pos_, size);
    pos_ += size;
}

void tTevStream::RaiseDamaged(const std::wstring& what) const {
    throw EtevException(SafeFormat(L"Dane są uszkodzone: %s (bajt %d).", {what, static_cast<long long>(pos_)}));
}

void tTevStream::WriteBytes(std::string_view bytes) { Put(bytes.data(), bytes.size()); }

std::string tTevStream::ReadBytes(size_t count) {
    if (count > Remaining())
        RaiseDamaged(SafeFormat(L"zapis o długości %d bajtów wykracza poza koniec danych (zostało %d)",
                                {static_cast<long long>(count), static_cast<long long>(Remaining())}));
    std::string out(bytes_, pos_, count);
    pos_ += count;
    return out;
}

std::uint8_t tTevStream::ReadByte() {
    std::uint8_t v;
    Get(&v, 1);
    return v;
}

void tTevStream::WriteUInt16(std::uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    Put(b, 2);
}

std::uint16_t tTevStream::ReadUInt16() {
    unsigned char b[2];
    Get(b, 2);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

void tTevStream::WriteUInt32(std::uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Put(b, 4);
}

std::uint32_t tTevStream::ReadUInt32() {
    unsigned char b[4];
    Get(b, 4);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void tTevStream::WriteInt64(std::int64_t v) {
    const auto u = static_cast<std::uint64_t>(v);
    WriteUInt32(static_cast<std::uint32_t>(u));
    WriteUInt32(static_cast<std::uint32_t>(u >> 32));
}

std::int64_t tTevStream::ReadInt64() {
    const std::uint64_t lo = ReadUInt32();
    const std::uint64_t hi = ReadUInt32();
    return static_cast<std::int64_t>(lo | hi << 32);
}

void tTevStream::WriteDouble(double v) {
    std::uint64_t u;
    static_assert(sizeof u == sizeof v);
    std::memcpy(&u, &v, sizeof u);
    WriteInt64(static_cast<std::int64_t>(u));
}

double tTevStream::ReadDouble() {
    const auto u = static_cast<std::uint64_t>(ReadInt64());
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

std::optional<std::string_view> tTevStream::ReadTextRecord() {
    const std::int16_t length = ReadInt16();
    size_t count;
    if (length >= 1) count = static_cast<size_t>(length);
    else if (length == -1) count = ReadUInt32();
    else return std::nullopt;
    if (count > Remaining())
        RaiseDamaged(SafeFormat(L"tekst o długości %d bajtów wykracza poza koniec danych (zostało %d)",
                                {static_cast<long long>(count), static_cast<long long>(Remaining())}));
    const std::string_view text(bytes_.data() + pos_, count);
    pos_ += count;
    return text;
}

std::optional<std::string> tTevStream::ReadPChar() {
    const auto text = ReadTextRecord();
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

std::wstring tTevStream::ReadString() {
    const auto text = ReadTextRecord();
    return text ? Cp1250ToWideExact(*text) : std::wstring();
}

void tTevStream::WriteTextHeader(size_t length) {
    if (length <= kShortTextLimit) {
        WriteInt16(static_cast<std::int16_t>(length));
        return;
    }
    if (length > std::numeric_limits<std::uint32_t>::max())
        throw EtevException(SafeFormat(L"Tekst o długości %d bajtów jest za długi, by zapisać go w pliku danych.",
                                       {static_cast<long long>(length)}));
    WriteInt16(-1);
    WriteUInt32(static_cast<std::uint32_t>(length));
}

void tTevStream::WritePChar(std::optional<std::string_view> text) {
    const size_t n = text ? text->size() : 0;
    WriteTextHeader(n);
    if (n) WriteBytes(*text);
}

void tTevStream::WriteString(std::wstring_view text) {
    // One byte per character: the header is known before the text is encoded,
    // and the bytes go straight into the stream when it is written at its end.
    size_t bad = 0;
    bool encoded;
    const size_t start = pos_;
    if (pos_ == bytes_.size()) {
        WriteTextHeader(text.size());
        encoded = AppendCp1250Exact(text, bytes_, &bad);
        if (encoded) pos_ = bytes_.size();
        else Truncate(start);
    } else {
        const auto bytes = WideToCp1250Exact(text, &bad);
        encoded = bytes.has_value();
        if (encoded) WritePChar(*bytes);
    }
    if (!encoded)
        throw EtevException(SafeFormat(
            L"Nie można zapisać tekstu w pliku danych: znak U+%.4x (%d. znak tekstu) nie ma odpowiednika w stronie "
            L"kodowej Windows-1250.\r\nTekst: %s",
            {static_cast<unsigned>(static_cast<std::make_unsigned_t<wchar_t>>(text[bad])), static_cast<long long>(bad + 1),
             text}));
}

tTevStream::Nesting::Nesting(tTevStream& stream, bool writing) : stream_(stream) {
    if (++stream_.depth_ <= kMaxNesting) return;
    --stream_.depth_;
    if (writing)
        throw EtevException(SafeFormat(L"Nie można zapisać danych: obiekty są zagnieżdżone głębiej niż na %d poziomów "
                                       L"i takiego pliku nie dałoby się odczytać.",
                                       {kMaxNesting}));
    stream_.RaiseDamaged(SafeFormat(L"obiekty zagnieżdżone głębiej niż na %d poziomów", {kMaxNesting}));
}

tTevStream::WriteGuard::WriteGuard(tTevStream& stream)
    : stream_(stream), start_(stream.pos_), atEnd_(stream.pos_ == stream.bytes_.size()),
      exceptions_(std::uncaught_exceptions()) {}

tTevStream::WriteGuard::~WriteGuard() {
    if (atEnd_ && std::uncaught_exceptions() > exceptions_) {
        stream_.Truncate(start_);
        stream_.pos_ = start_;
    }
}

void tTevStream::CheckCount(std::int64_t count, size_t minRecordSize) const {
    if (count > 0 && static_cast<std::uint64_t>(count) > Remaining() / minRecordSize)
        RaiseDamaged(SafeFormat(L"lista zapowiada %d pozycji, a do końca danych zostało tylko %d bajtów",
                                {static_cast<long long>(count), static_cast<long long>(Remaining())}));
}
