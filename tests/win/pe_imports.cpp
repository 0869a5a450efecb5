#include "pe_imports.h"

#include <cstring>

namespace petest {

namespace {

uint16_t U16(const uint8_t* p) {
    return (uint16_t)(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
    return (uint32_t)U16(p) | (uint32_t)U16(p + 2) << 16;
}
uint64_t U64(const uint8_t* p) {
    return (uint64_t)U32(p) | (uint64_t)U32(p + 4) << 32;
}
int32_t S32(const uint8_t* p) {
    return (int32_t)U32(p);
}

const uint32_t kExecute = 0x20000000; // IMAGE_SCN_MEM_EXECUTE
const uint32_t kDelayDescriptorSize = 32;

bool EndsWithDll(const std::string& name) {
    if (name.size() < 5) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = (char)(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return tail == ".dll";
}

} // namespace

const TPeImage::TSection* TPeImage::SectionOf(uint32_t rva) const {
    for (const TSection& s : sections_)
        if (rva >= s.Rva && rva - s.Rva < s.Size) return &s;
    return nullptr;
}

const uint8_t* TPeImage::At(uint32_t rva, uint32_t n) const {
    const TSection* s = SectionOf(rva);
    if (!s) return nullptr;
    uint64_t offset = rva - s->Rva;
    if (offset + n > s->RawSize) return nullptr; // beyond the bytes the file holds
    uint64_t at = (uint64_t)s->RawOffset + offset;
    if (at + n > bytes_.size()) return nullptr;
    return bytes_.data() + at;
}

bool TPeImage::Executable(uint32_t rva) const {
    const TSection* s = SectionOf(rva);
    return s && (s->Flags & kExecute);
}

bool TPeImage::ReadString(uint32_t rva, std::string& out) const {
    out.clear();
    for (uint32_t i = 0; i < 512; ++i) {
        const uint8_t* p = At(rva + i, 1);
        if (!p) return false;
        if (*p == 0) return !out.empty();
        out += (char)*p;
    }
    return false;
}

bool TPeImage::Load(const std::vector<uint8_t>& bytes, std::string& error) {
    bytes_ = bytes;
    sections_.clear();
    imports_.clear();
    delayed_.clear();
    if (bytes_.size() < 0x40 || bytes_[0] != 'M' || bytes_[1] != 'Z') return error = "no MZ header", false;
    uint32_t pe = U32(&bytes_[0x3C]);
    if ((uint64_t)pe + 24 > bytes_.size() || std::memcmp(&bytes_[pe], "PE\0\0", 4) != 0)
        return error = "no PE header", false;
    const uint8_t* coff = &bytes_[pe + 4];
    uint16_t sectionCount = U16(coff + 2);
    uint16_t optionalSize = U16(coff + 16);
    uint32_t optional = pe + 24;
    if ((uint64_t)optional + optionalSize + 40ull * sectionCount > bytes_.size())
        return error = "headers run past the file", false;
    const uint8_t* opt = &bytes_[optional];
    uint16_t magic = U16(opt);
    if (magic != 0x10B && magic != 0x20B) return error = "unknown optional header", false;
    is64_ = magic == 0x20B;
    imageBase_ = is64_ ? U64(opt + 24) : U32(opt + 28);
    uint32_t directories = is64_ ? 112 : 96;
    uint32_t directoryCount = U32(opt + directories - 4);
    auto directory = [&](uint32_t index) -> uint32_t {
        if (index >= directoryCount || directories + 8 * index + 8 > optionalSize) return 0;
        return U32(opt + directories + 8 * index);
    };
    const uint8_t* sec = opt + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i, sec += 40) {
        TSection s{U32(sec + 12), U32(sec + 8), U32(sec + 20), U32(sec + 16), U32(sec + 36)};
        if (s.Size == 0) s.Size = s.RawSize;
        sections_.push_back(s);
    }
    ReadImports(directory(1));
    delayDirectoryRva_ = directory(13);
    FindDelayedImports();
    return true;
}

bool TPeImage::ReadThunks(uint32_t namesRva, uint32_t slotsRva, std::vector<TImportedFunction>& out) const {
    const uint32_t width = is64_ ? 8 : 4;
    for (uint32_t i = 0; i < 65536; ++i) {
        const uint8_t* name = At(namesRva + i * width, width);
        const uint8_t* slot = At(slotsRva + i * width, width);
        if (!name || !slot) return false;
        uint64_t entry = is64_ ? U64(name) : U32(name);
        if (entry == 0) return true;
        TImportedFunction f;
        f.SlotRva = slotsRva + i * width;
        f.SlotValue = is64_ ? U64(slot) : U32(slot);
        bool byOrdinal = is64_ ? (entry >> 63) != 0 : (entry >> 31) != 0;
        if (byOrdinal) {
            f.Ordinal = (uint16_t)entry;
        } else {
            const uint8_t* hint = At((uint32_t)entry, 2);
            if (!hint || !ReadString((uint32_t)entry + 2, f.Name)) return false;
            f.Ordinal = U16(hint);
        }
        out.push_back(f);
    }
    return false;
}

void TPeImage::ReadImports(uint32_t rva) {
    if (rva == 0) return;
    for (uint32_t at = rva;; at += 20) {
        const uint8_t* d = At(at, 20);
        if (!d) return;
        uint32_t names = U32(d), dllName = U32(d + 12), slots = U32(d + 16);
        if (dllName == 0 && slots == 0) return;
        TImportedDll dll;
        if (!ReadString(dllName, dll.Name)) return;
        dll.DescriptorRva = at;
        ReadThunks(names ? names : slots, slots, dll.Functions);
        imports_.push_back(dll);
    }
}

// A delayed descriptor (attributes, name, handle, slots, names, bound, unload,
// time stamp; addresses relative to the image) is taken where its name is a
// library's and both tables can be read to their ends.
void TPeImage::FindDelayedImports() {
    auto tryDescriptor = [&](uint32_t at) -> bool {
        const uint8_t* d = At(at, kDelayDescriptorSize);
        if (!d || U32(d) != 1) return false; // 1: addresses relative to the image
        TImportedDll dll;
        dll.Delayed = true;
        dll.DescriptorRva = at;
        uint32_t handle = U32(d + 8), slots = U32(d + 12), names = U32(d + 16);
        if (!ReadString(U32(d + 4), dll.Name) || !EndsWithDll(dll.Name)) return false;
        if (!At(handle, is64_ ? 8 : 4) || !slots || !names) return false;
        if (!ReadThunks(names, slots, dll.Functions) || dll.Functions.empty()) return false;
        delayed_.push_back(dll);
        return true;
    };
    if (delayDirectoryRva_) {
        for (uint32_t at = delayDirectoryRva_; tryDescriptor(at); at += kDelayDescriptorSize) {
        }
        return;
    }
    for (const TSection& s : sections_)
        for (uint32_t off = 0;
             off + kDelayDescriptorSize <= s.RawSize && off + kDelayDescriptorSize <= s.Size; off += 4)
            if (tryDescriptor(s.Rva + off)) off += kDelayDescriptorSize - 4;
}

// The stub at the slot's first value must load the address of this very slot
// (32-bit: mov eax, slot; 64-bit: lea rax, [rip+slot]) and jump to a tail that
// passes this library's descriptor to the helper (push descriptor; lea rcx, [rip+descriptor]).
std::string TPeImage::StubFault(const TImportedDll& dll, const TImportedFunction& f) const {
    if (f.SlotValue == 0) return "slot holds 0";
    if (f.SlotValue < imageBase_ || f.SlotValue - imageBase_ > 0xFFFFFFFFull)
        return "slot points outside the image";
    uint32_t stub = (uint32_t)(f.SlotValue - imageBase_);
    if (!Executable(stub)) return "slot points outside the code";
    const uint8_t* p = At(stub, 16);
    if (!p) return "stub cut short";
    uint32_t jumpAt;
    if (!is64_) {
        if (p[0] != 0xB8 || U32(p + 1) != imageBase_ + f.SlotRva) return "stub does not name its slot";
        jumpAt = stub + 5;
    } else {
        if (p[0] != 0x48 || p[1] != 0x8D || p[2] != 0x05 || stub + 7 + S32(p + 3) != f.SlotRva)
            return "stub does not name its slot";
        jumpAt = stub + 7;
    }
    const uint8_t* jump = At(jumpAt, 5);
    if (!jump || jump[0] != 0xE9) return "stub does not jump to its library's tail";
    uint32_t tail = jumpAt + 5 + S32(jump + 1);
    if (!Executable(tail)) return "tail outside the code";
    const uint8_t* t = At(tail, 64);
    if (!t) return "tail cut short";
    for (uint32_t i = 0; i + 7 <= 64; ++i) {
        if (!is64_ && t[i] == 0x68 && U32(t + i + 1) == imageBase_ + dll.DescriptorRva) return "";
        if (is64_ && t[i] == 0x48 && t[i + 1] == 0x8D && t[i + 2] == 0x0D &&
            tail + i + 7 + S32(t + i + 3) == dll.DescriptorRva)
            return "";
    }
    return "tail does not pass this library's descriptor";
}

std::vector<std::string> TPeImage::DelayedSlotFaults() const {
    std::vector<std::string> faults;
    for (const TImportedDll& dll : delayed_)
        for (const TImportedFunction& f : dll.Functions) {
            std::string fault = StubFault(dll, f);
            if (!fault.empty()) faults.push_back(dll.Name + "!" + f.Name + ": " + fault);
        }
    return faults;
}

} // namespace petest
