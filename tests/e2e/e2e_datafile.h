#pragma once
// The end-to-end cases write data files byte by byte and read back what the program
// saved, without the program's own storage code: a field is an id with either a value
// (its bytes) or a nested list of fields, as the storage format lays them out.
#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct TField {
    uint16_t Id = 0;
    bool IsObject = false;
    std::vector<uint8_t> Value; // a value field's payload
    std::vector<TField> Fields; // an object field's body

    // The n-th field of this id in this body (0 is the first), or nullptr.
    const TField* Find(uint16_t id, int n = 0) const;
    int Count(uint16_t id) const;
    // The payload up to its first zero byte (code page 932 bytes).
    std::string Text() const;
};

// Value fields as the program's classes store them.
TField Text(uint16_t id, const std::string& cp932);
TField Short(uint16_t id, int16_t value);
TField Int(uint16_t id, int32_t value);
TField Bool(uint16_t id, bool value);
TField Object(uint16_t id, std::vector<TField> fields);

// A whole file: the root body, then its end marker.
std::vector<uint8_t> Serialize(const std::vector<TField>& root);
// Reads a whole file into the root body; false when the bytes are not a complete body.
bool Parse(const std::vector<uint8_t>& bytes, TField& root);

// A path as the data file stores it (code page 932); empty when it cannot hold it.
std::string Cp932(const std::wstring& text);

} // namespace e2e
