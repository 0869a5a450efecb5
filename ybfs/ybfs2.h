#pragma once
// YBFS2: the program's tagged binary storage format and the object model through
// which every stored class reads and writes its members by 16-bit field id.
//
// A file is one object body: fields (id, size word, payload), then FF FF. A size
// word of FFFF marks a nested object body. Fields a reader does not know are kept
// and written back, so a newer program's data survives an older program's save.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/filestream.h"
#include "ybfs/stream.h"

namespace YBFS {

typedef uint16_t TId;

const uint16_t kEndMarker = 0xFFFF;
const uint16_t kObjectSize = 0xFFFF;
const uint16_t kMaxValueSize = 0xFFFE;
// Object bodies nested deeper than this are refused as a read failure, so that a
// hostile file cannot overflow the stack. The program's own data nests 3 levels.
const int kMaxNesting = 64;

extern const char* const kIdReadError;      // "YBFS2 ID読み込みエラー"
extern const char* const kSizeReadError;    // "YBFS2 サイズ読み込みエラー"
extern const char* const kDataReadError;    // "YBFS2 データ読み込みエラー"
extern const char* const kTypeError;        // "変数の形式が一致しません。"
extern const char* const kNestingError;     // nesting deeper than kMaxNesting
extern const char* const kMemoryReadError;  // memory ran out while a file was read
extern const char* const kMemoryWriteError; // memory ran out while a file was written

// The stream read error.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// A field's kind or size does not match what the reader asks for.
class EReadTypeError : public EReadError {
public:
    EReadTypeError();
};

// ---- The data tree ---------------------------------------------------------

// File bytes shared by the object bodies that are kept unparsed (see TYBObjectData).
typedef std::shared_ptr<const std::vector<uint8_t>> TSharedBytes;

// Checks that p starts an object body nested at depth (every field within end, an
// end marker, nesting within kMaxNesting) and returns the byte after its end
// marker. Throws the errors a parse of the same bytes throws.
const uint8_t* SkipBody(const uint8_t* p, const uint8_t* end, int depth);
// Returns the byte after the end marker of a body that SkipBody has accepted.
const uint8_t* SkipCheckedBody(const uint8_t* p);
// The little-endian word at p.
inline uint16_t StoredWord(const uint8_t* p) {
    return (uint16_t)(p[0] | (p[1] << 8));
}
// A stored text: its bytes up to the first zero byte (all of them when there is none).
std::string StoredText(const uint8_t* data, size_t size);

// Checks the bodies of the objects nested in the root while a file is read over
// shared bytes, in place of SkipBody: it throws the structure errors SkipBody
// throws, in the same byte order, and returns the byte after the body's end
// marker. What else it finds it keeps for the reader of the root.
class TNestedBodyCheck {
public:
    virtual ~TNestedBodyCheck() = default;
    virtual const uint8_t* Check(TId id, const uint8_t* body, const uint8_t* end, int depth) = 0;
};

class TYBData {
public:
    TYBData(TId id, uint16_t size) : Id(id), Size(size) {}
    virtual ~TYBData() = default;
    virtual std::unique_ptr<TYBData> Clone() const = 0;
    // Reads the payload; the parent has read id and size already.
    virtual void Read(TStream& stream) = 0;
    // Writes the payload; the parent writes id and size.
    virtual void Write(TStream& stream) const = 0;
    bool IsObject() const { return Size == kObjectSize; }

    TId Id;
    uint16_t Size;
};

// A value field: exactly Size bytes. While a file is being read, the payload may
// be a view into the file's bytes; whatever outlives the read owns its copy.
class TYBVariableData : public TYBData {
public:
    TYBVariableData(TId id, uint16_t size) : TYBData(id, size) {}
    std::unique_ptr<TYBData> Clone() const override;
    void Read(TStream& stream) override;
    void Write(TStream& stream) const override;

    const uint8_t* Data() const { return view_ ? view_ : owned_.data(); }
    void Assign(const uint8_t* data, size_t n);
    // Refers to bytes owned by someone else (the buffer of a read in progress).
    void View(const uint8_t* data) { view_ = data; }
    // Copies a viewed payload into storage of its own.
    void Own();

    static void* operator new(size_t n);
    static void operator delete(void* p);

private:
    const uint8_t* view_ = nullptr;
    std::vector<uint8_t> owned_;
};

// An object field or the root: an ordered list of children, duplicates allowed.
//
// A nested body read from a file may be kept unparsed ("stored"): its bytes stay in
// the shared file buffer, already checked, and are parsed into children the first
// time anything asks for them. Written unchanged, they are copied as they are.
class TYBObjectData : public TYBData {
public:
    TYBObjectData() : TYBData(0xFFFE, kObjectSize) {}
    std::unique_ptr<TYBData> Clone() const override;
    void Read(TStream& stream) override;
    void Write(TStream& stream) const override;

    // Index of the first child with this id, or -1.
    virtual int IndexOf(TId id) const;
    // Destroys the child at index (if the entry still holds one) and removes the entry.
    virtual void Delete(int index);

    // Live children, in file order.
    size_t Count() const {
        Expand();
        return items_.size() - removed_;
    }
    bool Empty() const { return Count() == 0; }
    void Append(std::unique_ptr<TYBData> child);
    // Takes a child out; its entry counts as removed.
    std::unique_ptr<TYBData> Take(int index);
    TYBData* At(int index) const {
        Expand();
        return items_[(size_t)index].get();
    }
    // Calls f for each live child in order.
    template <class F> void ForEach(F f) const {
        Expand();
        for (size_t i = head_; i < items_.size(); ++i)
            if (items_[i]) f(*items_[i]);
    }
    // Gives every payload below this node storage of its own (see TYBVariableData).
    void Own();

    // Parses an object body from memory. With borrow, payloads are views into
    // data, which must outlive them (or be given up by Own()). With an owner of
    // data, nested bodies are checked and stored instead of parsed.
    // A check, with an owner, takes the place of SkipBody for the bodies nested here.
    void Parse(const uint8_t*& p, const uint8_t* end, int depth, bool borrow,
               const TSharedBytes* owner = nullptr, TNestedBodyCheck* check = nullptr);

    // Keeps the checked body [body, bodyEnd) (first field to after the end marker,
    // nested at depth) unparsed; owner keeps the bytes alive.
    void Store(const uint8_t* body, const uint8_t* bodyEnd, int depth, TSharedBytes owner);
    bool IsStored() const { return stored_ != nullptr; }
    // The stored bytes, or null once parsed.
    const uint8_t* StoredBegin() const { return stored_; }
    const uint8_t* StoredEnd() const { return storedEnd_; }

    static void* operator new(size_t n);
    static void operator delete(void* p);

private:
    // Parses a stored body into children (the views point into owner_'s bytes).
    void Expand() const;
    // Parse; checked: the bytes passed SkipBody already.
    void ParseBody(const uint8_t*& p, const uint8_t* end, int depth, bool borrow, const TSharedBytes* owner,
                   bool checked, TNestedBodyCheck* check);

    // Readers consume fields from the front, so removal keeps a head index and
    // leaves empty entries instead of shifting the whole list for every field read.
    // Mutable: a stored body is parsed on the first look, even a const one.
    mutable std::vector<std::unique_ptr<TYBData>> items_;
    mutable size_t head_ = 0;
    mutable size_t removed_ = 0;
    mutable const uint8_t* stored_ = nullptr;
    mutable const uint8_t* storedEnd_ = nullptr;
    int storedDepth_ = 0;
    TSharedBytes owner_;
};

// ---- The persistent object -------------------------------------------------

class TYBObject {
public:
    TYBObject() = default;
    TYBObject(const TYBObject& other);
    TYBObject& operator=(const TYBObject& other);
    virtual ~TYBObject();

    virtual void Reset(bool forRead);
    virtual void ReadMembers();
    virtual void WriteMembers();

    virtual bool ReadObject(TId id, TYBObject* object);
    virtual bool ReadObject(TId id, TYBObject& object);
    virtual bool Read(TId id, std::string& value);
    virtual bool Read(TId id, int& value);
    virtual bool Read(TId id, char& value);
    virtual bool Read(TId id, signed char& value);
    virtual bool Read(TId id, short& value);
    virtual bool Read(TId id, long& value);
    virtual bool Read(TId id, unsigned int& value);
    virtual bool Read(TId id, unsigned char& value);
    virtual bool Read(TId id, unsigned short& value);
    virtual bool Read(TId id, unsigned long& value);
    virtual bool Read(TId id, float& value);
    virtual bool Read(TId id, double& value);
    virtual bool Read(TId id, long double& value);
    virtual bool Read(TId id, bool& value);
    virtual bool ReadBuffer(TId id, void* buffer, int size);

    virtual void WriteObject(TId id, TYBObject* object);
    virtual void WriteObject(TId id, TYBObject& object);
    virtual void Write(TId id, const std::string& value);
    virtual void Write(TId id, const int& value);
    virtual void Write(TId id, const char& value);
    virtual void Write(TId id, const signed char& value);
    virtual void Write(TId id, const short& value);
    virtual void Write(TId id, const long& value);
    virtual void Write(TId id, const unsigned int& value);
    virtual void Write(TId id, const unsigned char& value);
    virtual void Write(TId id, const unsigned short& value);
    virtual void Write(TId id, const unsigned long& value);
    virtual void Write(TId id, const float& value);
    virtual void Write(TId id, const double& value);
    virtual void Write(TId id, const long double& value);
    virtual void Write(TId id, const bool& value);
    virtual void WriteBuffer(TId id, const void* buffer, int size);
    virtual void WriteEnd();

    // Drops the unknown fields, then Reset(forRead).
    void Clear(bool forRead);

    // Reads this object from a complete object body (the whole input is parsed first).
    void ReadFrom(TStream& stream);
    void ReadFrom(const uint8_t* data, size_t size);
    // The same over shared bytes: nested bodies are checked at once but parsed
    // only when a reader asks for them, and unread ones keep sharing the bytes.
    void ReadFrom(const TSharedBytes& bytes);
    // Writes this object's body (own members, unknown fields, end marker).
    void WriteTo(TStream& stream);

    const TYBObjectData* UnknownFields() const { return Unknown.get(); }

protected:
    TYBObjectData* Source = nullptr;
    TStream* Target = nullptr;
    std::unique_ptr<TYBObjectData> Unknown;

    // Reads members from a parsed root; what is left becomes the unknown fields.
    void ReadRoot(std::unique_ptr<TYBObjectData> root);
    // Takes out the first field with this id, which must be an object (null when
    // there is none), as it stands: a stored body stays stored.
    std::unique_ptr<TYBObjectData> TakeObject(TId id);
    // The check for the bodies nested in the root when this object is read over
    // shared bytes (ReadFrom); none by default.
    virtual TNestedBodyCheck* NestedBodyCheck() { return nullptr; }

private:
    // Finds the first field with this id and checks it is a value of exactly n bytes.
    TYBVariableData* TakeValue(TId id, int n, int& index);
};

// ---- The file object -------------------------------------------------------

class TYBFileObject : public TYBObject {
public:
    TYBFileObject();

    virtual void Load();
    virtual void Load(const std::string& fileName);
    virtual void Save();
    virtual void Save(const std::string& fileName);

    // Shows the failure as ErrorMode says; true when the user chose Retry.
    bool ShowError(bool writing, const std::string& message);

    std::string FileName;
    // Load refuses a larger file as a read failure before it takes its memory.
    size_t MaxFileBytes = platform::kMaxFileBytes;
    bool ClearOnError = false;
    bool MustExist = false;
    bool RaiseOnError = true;
    uint8_t ErrorMode = 0;
    std::string ReadErrorMessage;
    std::string WriteErrorMessage;
    std::string ErrorCaption;

protected:
    // Called when a load failed and the user gave it up (no Retry), before
    // ClearOnError resets the object: the file is still as it was read.
    virtual void LoadGivenUp();
};

// ---- Message templates -----------------------------------------------------

struct TFmAssociation {
    char Key;
    std::string Value;
};

// Expands %<Key> placeholders from the table (first matching entry), %% to %;
// any other %c stays as it is, and a % in the last position is kept.
std::string FormatAssoc(const std::string& format, const TFmAssociation* table, short count);

} // namespace YBFS
