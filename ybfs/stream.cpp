#include "ybfs/stream.h"

#include <cstring>

#include "platform/exception.h"

namespace YBFS {

size_t TMemoryReadStream::Read(void* buffer, size_t n) {
    size_t take = n < size_ - pos_ ? n : size_ - pos_;
    if (take) std::memcpy(buffer, data_ + pos_, take);
    pos_ += take;
    return take;
}

void TMemoryReadStream::Write(const void*, size_t) {
    throw Exception("stream is read-only");
}

size_t TMemoryWriteStream::Read(void*, size_t) {
    return 0;
}

void TMemoryWriteStream::Write(const void* buffer, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    bytes_.insert(bytes_.end(), p, p + n);
}

} // namespace YBFS
