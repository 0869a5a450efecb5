#pragma once
// Byte streams for the storage library: the reader parses from memory, the
// writer serialises into memory; files are read and written whole (filestream.h).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace YBFS {

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to n bytes; returns the count actually read.
    virtual size_t Read(void* buffer, size_t n) = 0;
    virtual void Write(const void* buffer, size_t n) = 0;
    // Bytes left to read, so that a reader never allocates more than the input holds.
    virtual size_t Remaining() const = 0;
};

// Reads from a byte range it does not own.
class TMemoryReadStream : public TStream {
public:
    TMemoryReadStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit TMemoryReadStream(const std::vector<uint8_t>& bytes) : TMemoryReadStream(bytes.data(), bytes.size()) {}
    size_t Read(void* buffer, size_t n) override;
    void Write(const void* buffer, size_t n) override;
    size_t Remaining() const override { return size_ - pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Collects written bytes in memory.
class TMemoryWriteStream : public TStream {
public:
    size_t Read(void* buffer, size_t n) override;
    void Write(const void* buffer, size_t n) override;
    size_t Remaining() const override { return 0; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace YBFS
