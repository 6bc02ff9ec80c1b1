// Storage of the checksum book that grows a chunk at a time: what it holds
// is never copied as it grows, and no more than a chunk stands unused. A
// vector doubles: it leaves up to half its room unused, and holds the old
// and the new room at once while it grows, which a book of 100,000 files
// would pay for in megabytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Items by number, in chunks of kChunk.
template <typename T, size_t kChunk>
class ChunkedList {
public:
    T& operator[](size_t index) { return chunks_[index / kChunk][index % kChunk]; }
    const T& operator[](size_t index) const { return chunks_[index / kChunk][index % kChunk]; }
    size_t size() const { return size_; }
    // A new item at the end, made by its default constructor.
    T& emplace_back() {
        if (size_ % kChunk == 0) {
            chunks_.emplace_back();
            chunks_.back().reserve(kChunk);
        }
        chunks_.back().emplace_back();
        ++size_;
        return chunks_.back().back();
    }
    size_t capacity() const { return chunks_.size() * kChunk; }

private:
    std::vector<std::vector<T>> chunks_;
    size_t size_ = 0;
};

// Byte strings (UTF-8 paths, no NUL in them) one after the other, each
// ended by a NUL, so that it needs no length beside it, and found by the
// number Add gave it; a string never spans two chunks. Number 0 is the
// empty string.
class TextArena {
public:
    static constexpr size_t kChunkBytes = size_t{1} << 18;

    uint32_t Add(const std::string& bytes) {
        if (bytes.empty()) return 0;
        if (chunks_.empty() || chunks_.back().size() + bytes.size() + 1 > kChunkBytes) {
            chunks_.emplace_back();
            chunks_.back().reserve(bytes.size() + 1 > kChunkBytes ? bytes.size() + 1 : kChunkBytes);
            if (chunks_.size() == 1) chunks_.back() += '\0';  // the empty string
        }
        std::string& chunk = chunks_.back();
        const size_t start = (chunks_.size() - 1) * kChunkBytes + chunk.size();
        chunk += bytes;
        chunk += '\0';
        return static_cast<uint32_t>(start);
    }
    const char* At(uint32_t start) const {
        return start / kChunkBytes < chunks_.size() ? chunks_[start / kChunkBytes].data() + start % kChunkBytes : "";
    }
    size_t capacity() const {
        size_t bytes = 0;
        for (const std::string& chunk : chunks_) bytes += chunk.capacity();
        return bytes;
    }

private:
    std::vector<std::string> chunks_;
};
