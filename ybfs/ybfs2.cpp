#include "ybfs/ybfs2.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <new>
#include <stdexcept>

#include "platform/filestream.h"
#include "platform/system.h"

namespace YBFS {

const char* const kIdReadError = "YBFS2 ID読み込みエラー";
const char* const kSizeReadError = "YBFS2 サイズ読み込みエラー";
const char* const kDataReadError = "YBFS2 データ読み込みエラー";
const char* const kTypeError = "変数の形式が一致しません。";
const char* const kNestingError = "YBFS2 オブジェクトの入れ子が深すぎます";
const char* const kMemoryReadError = "メモリが足りないため読み込めません";
const char* const kMemoryWriteError = "メモリが足りないため書き込めません";

EReadTypeError::EReadTypeError() : EReadError(kTypeError) {}

namespace {

void PutWord(TStream& s, uint16_t w) {
    uint8_t b[2] = {(uint8_t)(w & 0xFF), (uint8_t)(w >> 8)};
    s.Write(b, 2);
}

// Little-endian integer images, independent of the host's type sizes.
template <class T> void PutLE(uint8_t* out, T v, int n) {
    unsigned long long u = (unsigned long long)(long long)v;
    for (int i = 0; i < n; ++i)
        out[i] = (uint8_t)(u >> (8 * i));
}

unsigned long long GetLE(const uint8_t* in, int n) {
    unsigned long long u = 0;
    for (int i = 0; i < n; ++i)
        u |= (unsigned long long)in[i] << (8 * i);
    return u;
}

long long SignExtend(unsigned long long u, int n) {
    unsigned long long sign = 1ULL << (8 * n - 1);
    return (long long)((u ^ sign) - sign);
}

// x87 80-bit extended precision, little-endian, 10 bytes.
void LongDoubleToX87(long double v, uint8_t out[10]) {
    if (std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10) {
        std::memcpy(out, &v, 10);
        return;
    }
    std::memset(out, 0, 10);
    bool neg = std::signbit(v);
    if (neg) v = -v;
    uint16_t exp = 0;
    uint64_t mant = 0;
    if (std::isnan(v)) {
        exp = 0x7FFF;
        mant = 0xC000000000000000ULL;
    } else if (std::isinf(v)) {
        exp = 0x7FFF;
        mant = 0x8000000000000000ULL;
    } else if (v != 0) {
        int e = 0;
        long double f = std::frexp(v, &e); // v = f * 2^e, 0.5 <= f < 1
        int biased = e - 1 + 16383;
        if (biased <= 0) { // denormal in x87 terms
            f = std::ldexp(f, biased - 1);
            biased = 0;
        }
        exp = (uint16_t)biased;
        mant = (uint64_t)std::ldexp(f, 64);
    }
    PutLE(out, mant, 8);
    PutLE(out + 8, (uint16_t)(exp | (neg ? 0x8000 : 0)), 2);
}

long double X87ToLongDouble(const uint8_t in[10]) {
    if (std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10) {
        long double v = 0;
        std::memcpy(&v, in, 10);
        return v;
    }
    uint64_t mant = GetLE(in, 8);
    uint16_t se = (uint16_t)GetLE(in + 8, 2);
    bool neg = se & 0x8000;
    int exp = se & 0x7FFF;
    long double v;
    if (exp == 0x7FFF)
        v = (mant << 1) ? std::numeric_limits<long double>::quiet_NaN()
                        : std::numeric_limits<long double>::infinity();
    else
        v = std::ldexp((long double)mant, (exp == 0 ? 1 : exp) - 16383 - 63);
    return neg ? -v : v;
}

} // namespace

// ---- Data tree ---------------------------------------------------------------

namespace {

// A load makes one node per field. The nodes come from free lists of fixed-size
// blocks, which makes building and tearing down the tree of a large document
// cheap; blocks are reused, and returned to the heap only once no node is left
// (after a load that ran out of memory, the program must get that memory back).
// Sanitizer builds use the heap, so that use-after-free of a node is still caught.
#if defined(__SANITIZE_ADDRESS__)
#define YBFS_HEAP_NODES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define YBFS_HEAP_NODES 1
#endif
#endif

template <size_t N> class TNodePool {
public:
    void* Take() {
#ifdef YBFS_HEAP_NODES
        return ::operator new(N);
#else
        if (!free_) Grow();
        Block* b = free_;
        free_ = b->next;
        ++live_;
        return b;
#endif
    }
    void Give(void* p) {
#ifdef YBFS_HEAP_NODES
        ::operator delete(p);
#else
        Block* b = static_cast<Block*>(p);
        b->next = free_;
        free_ = b;
        // A few blocks are kept for the small trees of everyday reads.
        if (--live_ == 0 && chunks_.size() > kKeptChunks) {
            free_ = nullptr;
            chunks_.clear();
            chunks_.shrink_to_fit();
        }
#endif
    }

private:
    union Block {
        Block* next;
        alignas(std::max_align_t) unsigned char bytes[N];
    };
    void Grow() {
        const size_t count = 1024;
        chunks_.emplace_back(new Block[count]);
        Block* chunk = chunks_.back().get();
        for (size_t i = 0; i < count; ++i) {
            chunk[i].next = free_;
            free_ = &chunk[i];
        }
    }
    static const size_t kKeptChunks = 16;
    Block* free_ = nullptr;
    size_t live_ = 0;
    std::vector<std::unique_ptr<Block[]>> chunks_;
};

template <class T> TNodePool<sizeof(T)>& PoolOf() {
    static TNodePool<sizeof(T)>* pool = new TNodePool<sizeof(T)>(); // lives until the process ends
    return *pool;
}

uint16_t Word(const uint8_t* p) {
    return (uint16_t)(p[0] | (p[1] << 8));
}

} // namespace

void* TYBVariableData::operator new(size_t n) {
    if (n != sizeof(TYBVariableData)) return ::operator new(n);
    return PoolOf<TYBVariableData>().Take();
}

void TYBVariableData::operator delete(void* p) {
    PoolOf<TYBVariableData>().Give(p);
}

void* TYBObjectData::operator new(size_t n) {
    if (n != sizeof(TYBObjectData)) return ::operator new(n);
    return PoolOf<TYBObjectData>().Take();
}

void TYBObjectData::operator delete(void* p) {
    PoolOf<TYBObjectData>().Give(p);
}

void TYBVariableData::Assign(const uint8_t* data, size_t n) {
    view_ = nullptr;
    owned_.assign(data, data + n);
}

void TYBVariableData::Own() {
    if (view_) Assign(view_, Size);
}

std::unique_ptr<TYBData> TYBVariableData::Clone() const {
    auto c = std::make_unique<TYBVariableData>(Id, Size);
    c->Assign(Data(), Size);
    return c;
}

void TYBVariableData::Read(TStream& stream) {
    // Never allocate more than the input still holds.
    if (stream.Remaining() < Size) throw EReadError(kDataReadError);
    view_ = nullptr;
    owned_.resize(Size);
    if (Size && stream.Read(owned_.data(), Size) != Size) throw EReadError(kDataReadError);
}

void TYBVariableData::Write(TStream& stream) const {
    if (Size) stream.Write(Data(), Size);
}

std::unique_ptr<TYBData> TYBObjectData::Clone() const {
    auto c = std::make_unique<TYBObjectData>();
    c->Id = Id;
    c->Size = Size;
    if (IsStored()) { // the bytes are immutable and shared: no need to parse them
        c->Store(stored_, storedEnd_, storedDepth_, owner_);
        return c;
    }
    c->items_.reserve(Count());
    ForEach([&](const TYBData& child) { c->Append(child.Clone()); });
    return c;
}

void TYBObjectData::Read(TStream& stream) {
    // Parse from memory: the rest of the stream is taken in first.
    std::vector<uint8_t> bytes(stream.Remaining());
    size_t got = bytes.empty() ? 0 : stream.Read(bytes.data(), bytes.size());
    bytes.resize(got);
    const uint8_t* p = bytes.data();
    Parse(p, p + bytes.size(), 0, false);
}

namespace {
// Children of the bodies being parsed, nested bodies above their parents: each
// body moves its own run into a list allocated once, at its final size.
std::vector<std::unique_ptr<TYBData>>& ParseStack() {
    static std::vector<std::unique_ptr<TYBData>> stack;
    return stack;
}

struct TStackMark {
    size_t base;
    TStackMark() : base(ParseStack().size()) {}
    ~TStackMark() { // also on a failure
        std::vector<std::unique_ptr<TYBData>>& stack = ParseStack();
        stack.resize(base);
        // The outermost body is done: a stack grown by a huge one goes back to the heap.
        if (base == 0 && stack.capacity() > kKeptStackEntries)
            std::vector<std::unique_ptr<TYBData>>().swap(stack);
    }
    static const size_t kKeptStackEntries = 1 << 16;
};
} // namespace

namespace {
// The walk of SkipBody; `trusted` leaves out the checks for bytes it accepted before.
template <bool trusted> const uint8_t* Skip(const uint8_t* p, const uint8_t* end, int depth) {
    // The same checks, in the same byte order, as a parse of these bytes.
    if (!trusted && depth > kMaxNesting) throw EReadError(kNestingError);
    int level = 0;
    for (;;) {
        if (!trusted && end - p < 2) throw EReadError(kIdReadError);
        uint16_t id = Word(p);
        p += 2;
        if (id == kEndMarker) {
            if (level == 0) return p;
            --level;
            continue;
        }
        if (!trusted && end - p < 2) throw EReadError(kSizeReadError);
        uint16_t size = Word(p);
        p += 2;
        if (size == kObjectSize) {
            ++level;
            if (!trusted && depth + level > kMaxNesting) throw EReadError(kNestingError);
        } else {
            if (!trusted && end - p < size) throw EReadError(kDataReadError);
            p += size;
        }
    }
}
} // namespace

const uint8_t* SkipBody(const uint8_t* p, const uint8_t* end, int depth) {
    return Skip<false>(p, end, depth);
}

const uint8_t* SkipCheckedBody(const uint8_t* p) {
    return Skip<true>(p, nullptr, 0);
}

void TYBObjectData::Store(const uint8_t* body, const uint8_t* bodyEnd, int depth, TSharedBytes owner) {
    items_.clear();
    head_ = removed_ = 0;
    stored_ = body;
    storedEnd_ = bodyEnd;
    storedDepth_ = depth;
    owner_ = std::move(owner);
}

void TYBObjectData::Expand() const {
    if (!stored_) return;
    const uint8_t* p = stored_;
    const uint8_t* end = storedEnd_;
    stored_ = storedEnd_ = nullptr;
    // Checked when it was stored, so this cannot fail; the payloads are views into
    // owner_'s bytes, which this node keeps.
    const_cast<TYBObjectData*>(this)->ParseBody(p, end, storedDepth_, true, &owner_, true, nullptr);
}

void TYBObjectData::Parse(const uint8_t*& p, const uint8_t* end, int depth, bool borrow,
                          const TSharedBytes* owner, TNestedBodyCheck* check) {
    ParseBody(p, end, depth, borrow, owner, false, check);
}

void TYBObjectData::ParseBody(const uint8_t*& p, const uint8_t* end, int depth, bool borrow,
                              const TSharedBytes* owner, bool checked, TNestedBodyCheck* check) {
    if (depth > kMaxNesting) throw EReadError(kNestingError);
    std::vector<std::unique_ptr<TYBData>>& stack = ParseStack();
    TStackMark mark;
    for (;;) {
        if (!checked && end - p < 2) throw EReadError(kIdReadError);
        uint16_t id = Word(p);
        p += 2;
        if (id == kEndMarker) break;
        if (!checked && end - p < 2) throw EReadError(kSizeReadError);
        uint16_t size = Word(p);
        p += 2;
        if (size == kObjectSize) {
            std::unique_ptr<TYBObjectData> child(new TYBObjectData());
            child->Id = id;
            if (owner) { // kept unparsed until a reader asks for it
                const uint8_t* body = p;
                p = checked ? SkipCheckedBody(p)
                    : check ? check->Check(id, p, end, depth + 1)
                            : SkipBody(p, end, depth + 1);
                child->Store(body, p, depth + 1, *owner);
            } else {
                child->ParseBody(p, end, depth + 1, borrow, nullptr, false, nullptr);
            }
            stack.push_back(std::move(child));
        } else {
            // Never allocate more than the input still holds.
            if (!checked && end - p < size) throw EReadError(kDataReadError);
            std::unique_ptr<TYBVariableData> child(new TYBVariableData(id, size));
            if (borrow)
                child->View(p);
            else
                child->Assign(p, size);
            p += size;
            stack.push_back(std::move(child));
        }
    }
    items_.clear();
    items_.reserve(stack.size() - mark.base);
    for (size_t i = mark.base; i < stack.size(); ++i)
        items_.push_back(std::move(stack[i]));
    head_ = removed_ = 0;
}

void TYBObjectData::Own() {
    // A stored body keeps its bytes alive by itself.
    for (size_t i = head_; i < items_.size(); ++i) {
        TYBData* c = items_[i].get();
        if (!c) continue;
        if (c->IsObject())
            static_cast<TYBObjectData*>(c)->Own();
        else
            static_cast<TYBVariableData*>(c)->Own();
    }
}

void TYBObjectData::Write(TStream& stream) const {
    if (stored_) { // unchanged since it was read: the checked bytes as they are
        stream.Write(stored_, (size_t)(storedEnd_ - stored_));
        return;
    }
    ForEach([&](const TYBData& child) {
        PutWord(stream, child.Id);
        PutWord(stream, child.Size);
        child.Write(stream);
    });
    PutWord(stream, kEndMarker);
}

void TYBObjectData::Append(std::unique_ptr<TYBData> child) {
    Expand();
    items_.push_back(std::move(child));
}

int TYBObjectData::IndexOf(TId id) const {
    Expand();
    for (size_t i = head_; i < items_.size(); ++i)
        if (items_[i] && items_[i]->Id == id) return (int)i;
    return -1;
}

std::unique_ptr<TYBData> TYBObjectData::Take(int index) {
    Expand();
    std::unique_ptr<TYBData> child = std::move(items_[(size_t)index]);
    if (child) ++removed_;
    while (head_ < items_.size() && !items_[head_])
        ++head_;
    return child;
}

void TYBObjectData::Delete(int index) {
    Expand();
    size_t i = (size_t)index;
    if (i >= items_.size() || !items_[i]) return;
    items_[i].reset();
    ++removed_;
    while (head_ < items_.size() && !items_[head_])
        ++head_;
    if (head_ == items_.size()) { // all consumed: give the memory back
        items_.clear();
        items_.shrink_to_fit();
        head_ = removed_ = 0;
    }
}

// ---- Persistent object ---------------------------------------------------------

TYBObject::TYBObject(const TYBObject& other) {
    *this = other;
}

TYBObject& TYBObject::operator=(const TYBObject& other) {
    if (this == &other) return *this;
    Source = nullptr;
    Target = nullptr;
    Unknown.reset();
    if (other.Unknown) {
        std::unique_ptr<TYBData> c = other.Unknown->Clone();
        Unknown.reset(static_cast<TYBObjectData*>(c.release()));
    }
    return *this;
}

TYBObject::~TYBObject() = default;

void TYBObject::Reset(bool) {}
void TYBObject::ReadMembers() {}
void TYBObject::WriteMembers() {}

void TYBObject::Clear(bool forRead) {
    Unknown.reset();
    Reset(forRead);
}

bool TYBObject::ReadObject(TId id, TYBObject* object) {
    if (!Source) return false;
    int index = Source->IndexOf(id);
    if (index < 0) return false;
    object->Clear(true);
    TYBData* child = Source->At(index);
    if (!child->IsObject()) throw EReadTypeError();
    TYBObjectData* node = static_cast<TYBObjectData*>(child);
    object->Source = node;
    try {
        object->ReadMembers();
    } catch (...) {
        object->Source = nullptr;
        throw;
    }
    object->Source = nullptr;
    if (!node->Empty()) {
        // What the object did not read outlives the buffer being read: it gets its own bytes.
        node->Own();
        std::unique_ptr<TYBData> taken = Source->Take(index);
        object->Unknown.reset(static_cast<TYBObjectData*>(taken.release()));
    } else {
        Source->Delete(index);
    }
    return true;
}

bool TYBObject::ReadObject(TId id, TYBObject& object) {
    return ReadObject(id, &object);
}

TYBVariableData* TYBObject::TakeValue(TId id, int n, int& index) {
    index = Source ? Source->IndexOf(id) : -1;
    if (index < 0) return nullptr;
    TYBData* child = Source->At(index);
    if (child->IsObject() || child->Size != n) throw EReadTypeError();
    return static_cast<TYBVariableData*>(child);
}

std::string StoredText(const uint8_t* data, size_t size) {
    const void* zero = size ? std::memchr(data, 0, size) : nullptr;
    size_t len = zero ? (size_t)(static_cast<const uint8_t*>(zero) - data) : size;
    return std::string(reinterpret_cast<const char*>(data), len);
}

bool TYBObject::Read(TId id, std::string& value) {
    int index = Source ? Source->IndexOf(id) : -1;
    if (index < 0) return false;
    TYBData* child = Source->At(index);
    if (child->IsObject()) throw EReadTypeError();
    value = StoredText(static_cast<TYBVariableData*>(child)->Data(), child->Size);
    Source->Delete(index);
    return true;
}

bool TYBObject::ReadBuffer(TId id, void* buffer, int size) {
    int index;
    TYBVariableData* v = TakeValue(id, size, index);
    if (!v) return false;
    if (size > 0) std::memcpy(buffer, v->Data(), (size_t)size);
    Source->Delete(index);
    return true;
}

namespace {
// Reads an integer of stored width n into any integral destination.
template <class T>
bool ReadInt(TYBObject& o, bool (TYBObject::*rb)(TId, void*, int), TId id, T& value, int n) {
    uint8_t b[8];
    if (!(o.*rb)(id, b, n)) return false;
    unsigned long long u = GetLE(b, n);
    if (std::numeric_limits<T>::is_signed)
        value = (T)SignExtend(u, n);
    else
        value = (T)u;
    return true;
}
} // namespace

#define YB_READ_INT(T, N)                                                                                    \
    bool TYBObject::Read(TId id, T& value) {                                                                 \
        return ReadInt(*this, &TYBObject::ReadBuffer, id, value, N);                                         \
    }
YB_READ_INT(int, 4)
YB_READ_INT(char, 1)
YB_READ_INT(signed char, 1)
YB_READ_INT(short, 2)
YB_READ_INT(long, 4)
YB_READ_INT(unsigned int, 4)
YB_READ_INT(unsigned char, 1)
YB_READ_INT(unsigned short, 2)
YB_READ_INT(unsigned long, 4)
#undef YB_READ_INT

bool TYBObject::Read(TId id, float& value) {
    uint32_t u;
    uint8_t b[4];
    if (!ReadBuffer(id, b, 4)) return false;
    u = (uint32_t)GetLE(b, 4);
    std::memcpy(&value, &u, 4);
    return true;
}

bool TYBObject::Read(TId id, double& value) {
    uint64_t u;
    uint8_t b[8];
    if (!ReadBuffer(id, b, 8)) return false;
    u = GetLE(b, 8);
    std::memcpy(&value, &u, 8);
    return true;
}

bool TYBObject::Read(TId id, long double& value) {
    uint8_t b[10];
    if (!ReadBuffer(id, b, 10)) return false;
    value = X87ToLongDouble(b);
    return true;
}

bool TYBObject::Read(TId id, bool& value) {
    uint8_t b;
    if (!ReadBuffer(id, &b, 1)) return false;
    value = b != 0;
    return true;
}

void TYBObject::WriteObject(TId id, TYBObject* object) {
    PutWord(*Target, id);
    PutWord(*Target, kObjectSize);
    object->Target = Target;
    try {
        object->WriteMembers();
        if (object->Unknown)
            object->Unknown->Write(*Target);
        else
            object->WriteEnd();
    } catch (...) {
        object->Target = nullptr;
        throw;
    }
    object->Target = nullptr;
}

void TYBObject::WriteObject(TId id, TYBObject& object) {
    WriteObject(id, &object);
}

void TYBObject::Write(TId id, const std::string& value) {
    WriteBuffer(id, value.c_str(), (int)(value.size() + 1 > 0x7FFFFFFF ? 0x7FFFFFFF : value.size() + 1));
}

#define YB_WRITE_INT(T, N)                                                                                   \
    void TYBObject::Write(TId id, const T& value) {                                                          \
        uint8_t b[8];                                                                                        \
        PutLE(b, value, N);                                                                                  \
        WriteBuffer(id, b, N);                                                                               \
    }
YB_WRITE_INT(int, 4)
YB_WRITE_INT(char, 1)
YB_WRITE_INT(signed char, 1)
YB_WRITE_INT(short, 2)
YB_WRITE_INT(long, 4)
YB_WRITE_INT(unsigned int, 4)
YB_WRITE_INT(unsigned char, 1)
YB_WRITE_INT(unsigned short, 2)
YB_WRITE_INT(unsigned long, 4)
#undef YB_WRITE_INT

void TYBObject::Write(TId id, const float& value) {
    uint32_t u;
    std::memcpy(&u, &value, 4);
    uint8_t b[4];
    PutLE(b, u, 4);
    WriteBuffer(id, b, 4);
}

void TYBObject::Write(TId id, const double& value) {
    uint64_t u;
    std::memcpy(&u, &value, 8);
    uint8_t b[8];
    PutLE(b, u, 8);
    WriteBuffer(id, b, 8);
}

void TYBObject::Write(TId id, const long double& value) {
    uint8_t b[10];
    LongDoubleToX87(value, b);
    WriteBuffer(id, b, 10);
}

void TYBObject::Write(TId id, const bool& value) {
    uint8_t b = value ? 1 : 0;
    WriteBuffer(id, &b, 1);
}

void TYBObject::WriteBuffer(TId id, const void* buffer, int size) {
    int n = size < 0 ? 0 : (size > kMaxValueSize ? kMaxValueSize : size);
    PutWord(*Target, id);
    PutWord(*Target, (uint16_t)n);
    if (n) Target->Write(buffer, (size_t)n);
}

void TYBObject::WriteEnd() {
    PutWord(*Target, kEndMarker);
}

void TYBObject::ReadRoot(std::unique_ptr<TYBObjectData> root) {
    Clear(true);
    Source = root.get();
    try {
        ReadMembers();
    } catch (...) {
        Source = nullptr;
        throw;
    }
    Source = nullptr;
    if (!root->Empty()) {
        root->Own();
        Unknown = std::move(root);
    }
}

void TYBObject::ReadFrom(TStream& stream) {
    auto root = std::make_unique<TYBObjectData>();
    root->Read(stream);
    ReadRoot(std::move(root));
}

void TYBObject::ReadFrom(const uint8_t* data, size_t size) {
    // The payloads are read in place: the whole tree lives only during this call,
    // and what is kept as unknown fields takes copies (ReadRoot, ReadObject).
    auto root = std::make_unique<TYBObjectData>();
    const uint8_t* p = data;
    root->Parse(p, data + size, 0, true);
    ReadRoot(std::move(root));
}

void TYBObject::ReadFrom(const TSharedBytes& bytes) {
    auto root = std::make_unique<TYBObjectData>();
    const uint8_t* p = bytes->data();
    root->Parse(p, p + bytes->size(), 0, true, &bytes, NestedBodyCheck());
    ReadRoot(std::move(root));
}

std::unique_ptr<TYBObjectData> TYBObject::TakeObject(TId id) {
    int index = Source ? Source->IndexOf(id) : -1;
    if (index < 0) return nullptr;
    TYBData* child = Source->At(index);
    if (!child->IsObject()) throw EReadTypeError();
    TYBObjectData* node = static_cast<TYBObjectData*>(child);
    node->Own(); // outlives the buffer being read (a stored body keeps its own)
    std::unique_ptr<TYBData> taken = Source->Take(index);
    return std::unique_ptr<TYBObjectData>(static_cast<TYBObjectData*>(taken.release()));
}

void TYBObject::WriteTo(TStream& stream) {
    Target = &stream;
    try {
        WriteMembers();
        if (Unknown)
            Unknown->Write(stream);
        else
            WriteEnd();
    } catch (...) {
        Target = nullptr;
        throw;
    }
    Target = nullptr;
}

// ---- File object ---------------------------------------------------------------

TYBFileObject::TYBFileObject() : ErrorCaption("エラー") {}

void TYBFileObject::Load(const std::string& fileName) {
    FileName = fileName;
    Load();
}

void TYBFileObject::Save(const std::string& fileName) {
    FileName = fileName;
    Save();
}

namespace {

// Inside a catch: the message of the failure in flight. The program's own exception
// keeps its text and is kept in `raised`; memory that ran out (an allocation, or a
// size no container can take) is `memoryText`; anything else goes on up.
std::string FailureText(const std::string& memoryText, std::exception_ptr& raised) {
    try {
        throw;
    } catch (const Exception& e) {
        raised = std::current_exception();
        return e.Message();
    } catch (const std::bad_alloc&) {
        return memoryText;
    } catch (const std::length_error&) {
        return memoryText;
    }
}

} // namespace

void TYBFileObject::Load() {
    for (;;) {
        std::string failure;
        std::exception_ptr raised;
        try {
            auto root = std::make_unique<TYBObjectData>();
            if (MustExist || platform::FileExists(FileName)) {
                // The whole file is parsed before any member changes.
                // Nested objects are checked now and parsed when they are read.
                TSharedBytes bytes = std::make_shared<const std::vector<uint8_t>>(
                    platform::ReadWholeFile(FileName, MaxFileBytes));
                ReadFrom(bytes);
                return;
            }
            ReadRoot(std::move(root));
            return;
        } catch (...) {
            // A file can describe more than memory holds: that file cannot be read,
            // like any damaged one. The partly built tree is gone by now.
            failure = FailureText(kMemoryReadError, raised);
        }
        Source = nullptr;
        if (ShowError(false, failure)) continue;
        LoadGivenUp();
        if (ClearOnError) Clear(false);
        if (RaiseOnError) {
            if (raised) std::rethrow_exception(raised);
            throw EReadError(failure);
        }
        return;
    }
}

void TYBFileObject::LoadGivenUp() {}

void TYBFileObject::Save() {
    for (;;) {
        std::string failure;
        std::exception_ptr raised;
        try {
            // Serialise first, then replace the file in one step: a failure on the
            // way leaves the previous file whole.
            TMemoryWriteStream body;
            WriteTo(body);
            platform::ReplaceFileContents(FileName, body.Bytes());
            return;
        } catch (...) {
            failure = FailureText(kMemoryWriteError, raised);
        }
        Target = nullptr;
        if (ShowError(true, failure)) continue;
        if (RaiseOnError) {
            if (raised) std::rethrow_exception(raised);
            throw Exception(failure);
        }
        return;
    }
}

bool TYBFileObject::ShowError(bool writing, const std::string& message) {
    if (ErrorMode == 0) return false;
    std::string tmpl = writing ? WriteErrorMessage : ReadErrorMessage;
    if (tmpl.empty()) {
        if (ErrorMode == 1)
            tmpl = writing ? "ファイルに書き込み中にエラーが発生しました。\n\n%m"
                           : "ファイルからの読み込み中にエラーが発生しました。\n\n%m";
        else
            tmpl = writing ? "ファイルへの書き込み中にエラーが発生しました。\n\n%m\n\n再試行しますか？"
                           : "ファイルからの読み込み中にエラーが発生しました。\n\n%m\n\n再試行しますか？";
    }
    TFmAssociation table[2] = {{'m', message}, {'f', FileName}};
    std::string text = FormatAssoc(tmpl, table, 2);
    if (ErrorMode == 1) {
        platform::System().MessageBox(text, ErrorCaption, platform::mbIconError);
        return false;
    }
    return platform::System().MessageBox(
               text, ErrorCaption, platform::mbIconError | platform::mbRetryCancel) == platform::idRetry;
}

std::string FormatAssoc(const std::string& format, const TFmAssociation* table, short count) {
    std::string out;
    out.reserve(format.size());
    for (size_t i = 0; i < format.size(); ++i) {
        char ch = format[i];
        if (ch != '%' || i + 1 >= format.size()) {
            out += ch;
            continue;
        }
        char c = format[++i];
        if (c == '%') {
            out += '%';
            continue;
        }
        int k = 0;
        while (k < count && table[k].Key != c)
            ++k;
        if (k < count) {
            out += table[k].Value;
        } else {
            out += '%';
            out += c;
        }
    }
    return out;
}

} // namespace YBFS
