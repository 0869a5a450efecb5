#include "e2e_datafile.h"

#include <windows.h>

namespace e2e {

namespace {

const uint16_t kEnd = 0xFFFF;

void PutWord(std::vector<uint8_t>& out, uint16_t w) {
    out.push_back((uint8_t)w);
    out.push_back((uint8_t)(w >> 8));
}

void PutBody(std::vector<uint8_t>& out, const std::vector<TField>& fields) {
    for (const TField& f : fields) {
        PutWord(out, f.Id);
        if (f.IsObject) {
            PutWord(out, kEnd);
            PutBody(out, f.Fields);
        } else {
            PutWord(out, (uint16_t)f.Value.size());
            out.insert(out.end(), f.Value.begin(), f.Value.end());
        }
    }
    PutWord(out, kEnd);
}

struct TReader {
    const std::vector<uint8_t>& Bytes;
    size_t At = 0;

    bool Word(uint16_t& w) {
        if (At + 2 > Bytes.size()) return false;
        w = (uint16_t)(Bytes[At] | (Bytes[At + 1] << 8));
        At += 2;
        return true;
    }
    // The program's data nests a few levels; a deep file is refused, not recursed into.
    bool Body(std::vector<TField>& fields, int depth) {
        if (depth > 32) return false;
        for (;;) {
            TField f;
            uint16_t size = 0;
            if (!Word(f.Id)) return false;
            if (f.Id == kEnd) return true;
            if (!Word(size)) return false;
            if (size == kEnd) {
                f.IsObject = true;
                if (!Body(f.Fields, depth + 1)) return false;
            } else {
                if (At + size > Bytes.size()) return false;
                f.Value.assign(Bytes.begin() + At, Bytes.begin() + At + size);
                At += size;
            }
            fields.push_back(std::move(f));
        }
    }
};

TField Value(uint16_t id, const void* data, size_t n) {
    TField f;
    f.Id = id;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    f.Value.assign(p, p + n);
    return f;
}

} // namespace

const TField* TField::Find(uint16_t id, int n) const {
    for (const TField& f : Fields)
        if (f.Id == id && n-- == 0) return &f;
    return nullptr;
}

int TField::Count(uint16_t id) const {
    int n = 0;
    for (const TField& f : Fields)
        n += f.Id == id;
    return n;
}

std::string TField::Text() const {
    std::string s(Value.begin(), Value.end());
    return s.substr(0, s.find('\0'));
}

TField Text(uint16_t id, const std::string& cp932) {
    return Value(id, cp932.c_str(), cp932.size() + 1);
}

TField Short(uint16_t id, int16_t value) {
    uint8_t b[2] = {(uint8_t)value, (uint8_t)((uint16_t)value >> 8)};
    return Value(id, b, 2);
}

TField Int(uint16_t id, int32_t value) {
    uint32_t u = (uint32_t)value;
    uint8_t b[4] = {(uint8_t)u, (uint8_t)(u >> 8), (uint8_t)(u >> 16), (uint8_t)(u >> 24)};
    return Value(id, b, 4);
}

TField Bool(uint16_t id, bool value) {
    uint8_t b = value ? 1 : 0;
    return Value(id, &b, 1);
}

TField Object(uint16_t id, std::vector<TField> fields) {
    TField f;
    f.Id = id;
    f.IsObject = true;
    f.Fields = std::move(fields);
    return f;
}

std::vector<uint8_t> Serialize(const std::vector<TField>& root) {
    std::vector<uint8_t> out;
    PutBody(out, root);
    return out;
}

bool Parse(const std::vector<uint8_t>& bytes, TField& root) {
    root = TField();
    root.IsObject = true;
    TReader r{bytes};
    return r.Body(root.Fields, 0);
}

std::string Cp932(const std::wstring& text) {
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(932, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy) return std::string();
    std::string out(n, '\0');
    WideCharToMultiByte(932, 0, text.c_str(), (int)text.size(), &out[0], n, nullptr, nullptr);
    return out;
}

} // namespace e2e
