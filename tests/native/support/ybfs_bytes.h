#pragma once
// Builds storage-format bodies byte by byte for expected files: each call adds one
// field (id, size, payload); Bytes() closes the body with the end marker. Also
// turns a stored object into its bytes and back.
#include <cstdint>
#include <string>
#include <vector>

#include "ybfs/ybfs2.h"

class TBody {
public:
    TBody& Str(uint16_t id, const std::string& s) {
        std::vector<uint8_t> b(s.begin(), s.end());
        b.push_back(0);
        return Value(id, b);
    }
    TBody& I16(uint16_t id, int v) { return Value(id, Le(v, 2)); }
    TBody& I32(uint16_t id, long long v) { return Value(id, Le(v, 4)); }
    TBody& U8(uint16_t id, int v) { return Value(id, Le(v, 1)); }
    TBody& Bool(uint16_t id, bool v) { return U8(id, v ? 1 : 0); }
    TBody& Obj(uint16_t id, const TBody& body) {
        Word(id);
        Word(0xFFFF);
        std::vector<uint8_t> b = body.Bytes();
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    TBody& Value(uint16_t id, const std::vector<uint8_t>& payload) {
        Word(id);
        Word((uint16_t)payload.size());
        bytes_.insert(bytes_.end(), payload.begin(), payload.end());
        return *this;
    }
    TBody& Append(const TBody& other) {
        bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
        return *this;
    }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> b = bytes_;
        b.push_back(0xFF);
        b.push_back(0xFF);
        return b;
    }

private:
    static std::vector<uint8_t> Le(long long v, int n) {
        std::vector<uint8_t> b;
        for (int i = 0; i < n; ++i)
            b.push_back((uint8_t)((unsigned long long)v >> (8 * i)));
        return b;
    }
    void Word(uint16_t w) {
        bytes_.push_back((uint8_t)w);
        bytes_.push_back((uint8_t)(w >> 8));
    }
    std::vector<uint8_t> bytes_;
};

// The object's body as its WriteTo writes it.
inline std::vector<uint8_t> Serialise(YBFS::TYBObject& o) {
    YBFS::TMemoryWriteStream s;
    o.WriteTo(s);
    return s.Bytes();
}

// Reads the object from a body with its ReadFrom.
inline void Parse(YBFS::TYBObject& o, const std::vector<uint8_t>& b) {
    YBFS::TMemoryReadStream s(b);
    o.ReadFrom(s);
}
