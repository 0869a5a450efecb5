#pragma once
// Reads the import tables of a Windows program file: the ordinary ones the loader
// fills at start, and the delayed ones whose slots are filled at their first call.
//
// A delayed slot holds, until then, the address of a small load stub that names the
// slot and jumps to its library's tail, which hands the library's descriptor to the
// delay-load helper. A slot that holds anything else jumps into nowhere the first
// time the program calls through it. The MinGW linker does not fill in the delayed
// entry of the data directory, so descriptors are found by what they point at: a
// library name, a handle cell, and two tables of the same length.
#include <cstdint>
#include <string>
#include <vector>

namespace petest {

struct TImportedFunction {
    std::string Name; // empty when imported by ordinal
    uint16_t Ordinal = 0;
    uint32_t SlotRva = 0;
    uint64_t SlotValue = 0; // as stored in the file
};

struct TImportedDll {
    std::string Name;
    bool Delayed = false;
    uint32_t DescriptorRva = 0;
    std::vector<TImportedFunction> Functions;
};

class TPeImage {
public:
    // False with a reason when the file is not a program file this reader understands.
    bool Load(const std::vector<uint8_t>& bytes, std::string& error);

    bool Is64() const { return is64_; }
    uint64_t ImageBase() const { return imageBase_; }
    const std::vector<TImportedDll>& Imports() const { return imports_; }
    const std::vector<TImportedDll>& DelayedImports() const { return delayed_; }

    // Every delayed slot that would not reach its function at its first call, one
    // line each ("comctl32.dll!InitCommonControlsEx: slot holds 0"); empty when all are sound.
    std::vector<std::string> DelayedSlotFaults() const;

private:
    struct TSection {
        uint32_t Rva, Size, RawOffset, RawSize, Flags;
    };
    const TSection* SectionOf(uint32_t rva) const;
    // The file bytes at an address of the image, or null when fewer than n bytes lie there.
    const uint8_t* At(uint32_t rva, uint32_t n) const;
    bool Executable(uint32_t rva) const;
    bool ReadString(uint32_t rva, std::string& out) const;
    bool ReadThunks(uint32_t namesRva, uint32_t slotsRva, std::vector<TImportedFunction>& out) const;
    void ReadImports(uint32_t rva);
    void FindDelayedImports();
    std::string StubFault(const TImportedDll& dll, const TImportedFunction& function) const;

    std::vector<uint8_t> bytes_;
    std::vector<TSection> sections_;
    bool is64_ = false;
    uint64_t imageBase_ = 0;
    uint32_t delayDirectoryRva_ = 0;
    std::vector<TImportedDll> imports_;
    std::vector<TImportedDll> delayed_;
};

} // namespace petest
