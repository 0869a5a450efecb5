// Parses arbitrary bytes as a storage file and lets a nested sample object read
// its members, then writes it back: no crash, no leak, no undefined behaviour,
// and whatever loads must save and load again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ybfs/ybfs2.h"

using namespace YBFS;

namespace {

struct Leaf : TYBObject {
    std::string Text;
    int Number = 0;
    short Small = 0;
    void Reset(bool) override {
        Text.clear();
        Number = 0;
        Small = 0;
    }
    void ReadMembers() override {
        Read(0, Text);
        Read(7, Number);
        Read(8, Small);
    }
    void WriteMembers() override {
        Write(0, Text);
        Write(7, Number);
        Write(8, Small);
    }
};

struct Root : TYBObject {
    int Count = 0;
    bool Flag = false;
    unsigned char Byte = 0;
    Leaf Leaves[4];
    Leaf Nested;
    void Reset(bool) override {
        Count = 0;
        Flag = false;
        Byte = 0;
    }
    void ReadMembers() override {
        Read(1, Count);
        Read(2, Flag);
        Read(3, Byte);
        for (Leaf& l : Leaves) ReadObject(4, l);
        ReadObject(12, Nested);
    }
    void WriteMembers() override {
        Write(1, Count);
        Write(2, Flag);
        Write(3, Byte);
        for (Leaf& l : Leaves) WriteObject(4, l);
        WriteObject(12, Nested);
    }
};

// Reads over shared bytes, where nested objects are parsed only when read: the
// outcome, its message and what is written must be those of the whole parse.
std::string SharedRead(const uint8_t* data, size_t size, std::vector<uint8_t>& written) {
    auto bytes = std::make_shared<const std::vector<uint8_t>>(data, data + size);
    Root root;
    try {
        root.ReadFrom(bytes);
    } catch (const EReadError& e) {
        return e.Message();
    }
    bytes.reset(); // the read nodes keep what they still need
    TMemoryWriteStream out;
    root.WriteTo(out);
    written = out.Bytes();
    return "";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> shared;
    std::string sharedError = SharedRead(data, size, shared);
    Root root;
    try {
        TMemoryReadStream in(data, size);
        root.ReadFrom(in);
    } catch (const EReadError& e) {
        if (e.Message() != sharedError) std::abort();
        return 0;
    }
    TMemoryWriteStream first;
    root.WriteTo(first);
    if (!sharedError.empty() || shared != first.Bytes()) std::abort();
    Root again;
    TMemoryReadStream in2(first.Bytes());
    again.ReadFrom(in2);
    TMemoryWriteStream second;
    again.WriteTo(second);
    if (first.Bytes() != second.Bytes()) std::abort();
    return 0;
}
