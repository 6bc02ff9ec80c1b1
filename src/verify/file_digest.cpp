#include "verify/file_digest.h"

#include "common/windows_headers.h"

#include <bcrypt.h>

#include <algorithm>

#include "common/scoped_handle.h"
#include "common/system_library.h"
#include "text/canonical_path.h"
#include "text/system_error.h"

namespace {

// Large reads keep a stick busy; a multiple of every sector size.
const DWORD kChunkBytes = 1 << 20;
const DWORD kPageBytes = 4096;

template <typename Function>
Function FromCng(const char* name) {
    return SystemFunction<Function>(L"bcrypt.dll", name);
}

// The system's SHA-256 provider. Each reader opens its own, so that no
// provider is shared between threads.
BCRYPT_ALG_HANDLE OpenSha256() {
    static const auto open = FromCng<decltype(&BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider");
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (open == nullptr || open(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) return nullptr;
    return algorithm;
}

void CloseSha256(BCRYPT_ALG_HANDLE algorithm) {
    static const auto close = FromCng<decltype(&BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider");
    if (algorithm != nullptr && close != nullptr) close(algorithm, 0);
}

// The provider's SHA-256 over a stream of chunks.
class Hasher {
public:
    explicit Hasher(BCRYPT_ALG_HANDLE algorithm) {
        static const auto create = FromCng<decltype(&BCryptCreateHash)>("BCryptCreateHash");
        if (algorithm != nullptr && create != nullptr &&
            create(algorithm, &hash_, nullptr, 0, nullptr, 0, 0) < 0) {
            hash_ = nullptr;
        }
    }
    ~Hasher() {
        static const auto destroy = FromCng<decltype(&BCryptDestroyHash)>("BCryptDestroyHash");
        if (hash_ != nullptr && destroy != nullptr) destroy(hash_);
    }
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    bool Ready() const { return hash_ != nullptr; }

    bool Add(const void* data, DWORD size) {
        static const auto add = FromCng<decltype(&BCryptHashData)>("BCryptHashData");
        return hash_ != nullptr && add != nullptr &&
               add(hash_, static_cast<PUCHAR>(const_cast<void*>(data)), size, 0) >= 0;
    }

    bool Finish(Digest* digest) {
        static const auto finish = FromCng<decltype(&BCryptFinishHash)>("BCryptFinishHash");
        return hash_ != nullptr && finish != nullptr &&
               finish(hash_, digest->data(), static_cast<ULONG>(digest->size()), 0) >= 0;
    }

private:
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};

// What one read asks for: the rest of the file as the open file gave its
// size, and a byte more (so that its end shows as a short read), in whole
// pages (unbuffered reads take multiples of the sector size), at most a
// chunk. The system touches every page of the buffer a read may fill: a
// small file's read keeps a page of it in memory, not the whole chunk.
DWORD ReadRequest(uint64_t size, uint64_t done, DWORD chunkBytes) {
    const uint64_t rest = size > done ? size - done : 0;
    if (rest >= chunkBytes) return chunkBytes;
    return static_cast<DWORD>((rest + 1 + kPageBytes - 1) / kPageBytes * kPageBytes);
}

// The main thread's reader.
FileReader& SharedReader() {
    static FileReader reader;
    return reader;
}

FileDigest Failed(DWORD error) {
    FileDigest result;
    result.problem = SystemReason(error);
    return result;
}

}  // namespace

FileReader::FileReader(unsigned long chunkBytes)
    : chunkBytes_(chunkBytes),
      buffer_(VirtualAlloc(nullptr, chunkBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
      algorithm_(OpenSha256()) {}

FileReader::~FileReader() {
    if (buffer_ != nullptr) VirtualFree(buffer_, 0, MEM_RELEASE);
    CloseSha256(algorithm_);
}

FileDigest DigestOfFile(const WideString& path, ReadFrom from) { return SharedReader().Digest(path, from, nullptr); }

FileDigest DigestOfFileWhile(const WideString& path, ReadFrom from, const ChunkSink& each) {
    return SharedReader().Digest(path, from, each);
}

FileDigest FileReader::Digest(const WideString& path, ReadFrom from, const ChunkSink& each) {
    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (from == ReadFrom::Device ? FILE_FLAG_NO_BUFFERING : 0);
    const ScopedFileHandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, flags, nullptr));
    if (!file.Valid()) return Failed(GetLastError());
    FileDigest result;
    // Size and time asked one by one: Wine answers GetFileInformationByHandle
    // several times slower, which a backup of small files pays per file.
    LARGE_INTEGER size;
    FILETIME written;
    if (!GetFileSizeEx(file.Get(), &size) || !GetFileTime(file.Get(), nullptr, nullptr, &written)) {
        return Failed(GetLastError());
    }
    result.opened = true;
    result.size = static_cast<uint64_t>(size.QuadPart);
    result.lastWrite = static_cast<int64_t>((uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime);
    Hasher hasher(algorithm_);
    if (buffer_ == nullptr || !hasher.Ready()) return Failed(ERROR_NOT_ENOUGH_MEMORY);
    for (;;) {
        const DWORD request = ReadRequest(result.size, result.bytes, chunkBytes_);
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer_, request, &got, nullptr)) {
            const FileDigest failed = Failed(GetLastError());
            result.problem = failed.problem;
            return result;
        }
        if (got == 0) break;
        if (!hasher.Add(buffer_, got)) {
            result.problem = Failed(ERROR_INVALID_FUNCTION).problem;
            return result;
        }
        if (each) {
            const WideString problem = each(buffer_, got);
            if (!problem.empty()) {
                result.problem = problem;
                return result;
            }
        }
        result.bytes += got;
        // A short read at the size the open file gave is its end: no call
        // more to hear so, which a backup of small files pays per file.
        if (got < request && result.bytes == result.size) break;
    }
    if (!hasher.Finish(&result.digest)) return Failed(ERROR_INVALID_FUNCTION);
    result.read = true;
    result.sizeAfter = result.size;
    result.lastWriteAfter = result.lastWrite;
    if (from == ReadFrom::Cache && GetFileSizeEx(file.Get(), &size) &&
        GetFileTime(file.Get(), nullptr, nullptr, &written)) {
        result.sizeAfter = static_cast<uint64_t>(size.QuadPart);
        result.lastWriteAfter =
            static_cast<int64_t>((uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime);
    }
    return result;
}

Digest DigestOfBytes(const void* data, size_t size) {
    Digest digest{};
    static const BCRYPT_ALG_HANDLE algorithm = OpenSha256();
    Hasher hasher(algorithm);
    hasher.Add(data, static_cast<DWORD>(size));
    hasher.Finish(&digest);
    return digest;
}

StreamDigest::StreamDigest() {
    static const BCRYPT_ALG_HANDLE algorithm = OpenSha256();
    hash_ = new Hasher(algorithm);
    failed_ = !static_cast<Hasher*>(hash_)->Ready();
}

StreamDigest::~StreamDigest() { delete static_cast<Hasher*>(hash_); }

void StreamDigest::Add(const void* data, size_t size) {
    bytes_ += size;
    // In pieces a DWORD can count.
    const char* bytes = static_cast<const char*>(data);
    while (size != 0) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(size, kChunkBytes));
        failed_ = failed_ || !static_cast<Hasher*>(hash_)->Add(bytes, piece);
        bytes += piece;
        size -= piece;
    }
}

bool StreamDigest::Finish(Digest* digest) { return !failed_ && static_cast<Hasher*>(hash_)->Finish(digest); }

WideString DigestHex(const Digest& digest) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    WideString hex;
    for (uint8_t byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

bool DigestFromHex(const WideString& hex, Digest* digest) {
    if (hex.size() != 64) return false;
    auto value = [](wchar_t c) {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'a' && c <= L'f') return c - L'a' + 10;
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        return -1;
    };
    for (size_t i = 0; i < 32; ++i) {
        const int high = value(hex[2 * i]);
        const int low = value(hex[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        (*digest)[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}
