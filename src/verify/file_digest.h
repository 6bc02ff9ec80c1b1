// The SHA-256 of a file's bytes, computed by the system's own hashing
// (CNG, bcrypt.dll from the system folder). A backup file is read from the
// device itself, past the system's cache, so that what is checked is what
// the stick holds and not what was just written to memory.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "text/wide_string.h"

using Digest = std::array<uint8_t, 32>;

enum class ReadFrom {
    Cache,   // an ordinary read (the source files)
    Device,  // unbuffered, sector-aligned reads (the copies on the stick)
};

// What reading a file found.
struct FileDigest {
    bool read = false;
    Digest digest{};
    uint64_t bytes = 0;
    bool opened = false;     // the file was there and could be opened
    uint64_t size = 0;       // its size and last-write time (100 ns units since
    int64_t lastWrite = 0;   // 1601) as the open file said, before it was read
    WideString problem;  // the system's reason when it was not read
    // For an ordinary read (a source): its size and time as the open file
    // said once it was read, so that a change while it was read shows
    // without another lookup of the path. Equal to size and lastWrite for
    // a device read.
    uint64_t sizeAfter = 0;
    int64_t lastWriteAfter = 0;
};

using ChunkSink = std::function<WideString(const void* bytes, unsigned long size)>;

// Reads files into a page-aligned buffer of its own (unbuffered reads need
// one) and hashes them with a provider of its own: a thread that reads
// beside the main thread makes its own reader.
class FileReader {
public:
    // chunkBytes: the largest read, and the buffer's size (a multiple of
    // the page size); a reader of large files that need not keep the stick
    // busy (the run's own lists) keeps a smaller one in memory.
    explicit FileReader(unsigned long chunkBytes = 1 << 20);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Hashes the whole file at the canonical path (read in its long form),
    // handing each chunk read to each, when given, once it is hashed (to
    // write it elsewhere): a chunk's problem (non-empty) ends the read with
    // that problem.
    FileDigest Digest(const WideString& path, ReadFrom from, const ChunkSink& each = nullptr);

private:
    unsigned long chunkBytes_;
    void* buffer_;
    void* algorithm_;  // the system's SHA-256 provider
};

// The same with the main thread's reader.
FileDigest DigestOfFile(const WideString& path, ReadFrom from);
FileDigest DigestOfFileWhile(const WideString& path, ReadFrom from, const ChunkSink& each);

// Hashes bytes in memory (for tests and for checking the hasher itself).
Digest DigestOfBytes(const void* data, size_t size);

// The SHA-256 of bytes handed over a piece at a time (what a file is
// written from, to be read back against), on the main thread.
class StreamDigest {
public:
    StreamDigest();
    ~StreamDigest();
    StreamDigest(const StreamDigest&) = delete;
    StreamDigest& operator=(const StreamDigest&) = delete;
    void Add(const void* data, size_t size);
    // The digest of everything added; false when the system could not hash.
    bool Finish(Digest* digest);
    uint64_t Bytes() const { return bytes_; }

private:
    void* hash_;
    bool failed_ = false;
    uint64_t bytes_ = 0;
};

// The digest as 64 lower-case hex digits, and back (false for anything
// else than 64 hex digits of either case).
WideString DigestHex(const Digest& digest);
bool DigestFromHex(const WideString& hex, Digest* digest);
