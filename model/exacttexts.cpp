#include "model/exacttexts.h"

#include "platform/text.h"

namespace {

const YBFS::TId kRenderingId = 0, kUtf8Id = 1;

// One text: its rendering and its exact form.
class TExactEntry : public YBFS::TYBObject {
public:
    void Reset(bool) override {
        Rendering.clear();
        Utf8.clear();
    }
    void ReadMembers() override {
        Read(kRenderingId, Rendering);
        Read(kUtf8Id, Utf8);
    }
    void WriteMembers() override {
        Write(kRenderingId, Rendering);
        Write(kUtf8Id, Utf8);
    }
    std::string Rendering;
    std::string Utf8;
};

} // namespace

void TExactTexts::ReadMembers() {
    for (size_t i = 0; i < count_; ++i) {
        TExactEntry entry;
        if (ReadObject(ids_[i], entry)) entries_.push_back({ids_[i], entry.Rendering, entry.Utf8});
    }
}

void TExactTexts::WriteMembers() {
    for (const TEntry& e : entries_) {
        TExactEntry entry;
        entry.Rendering = e.Rendering;
        entry.Utf8 = e.Utf8;
        WriteObject(e.Id, entry);
    }
}

void TExactTexts::ReadField(YBFS::TYBObject& owner) {
    // A read of an absent field leaves the object as it is: clear it first.
    Clear(true);
    try {
        owner.ReadObject(kFieldId, *this);
    } catch (const YBFS::EReadError&) {
        // A damaged field of texts the code page fields stand in for costs nothing
        // but the exact forms.
        Clear(true);
    }
}

void TExactTexts::Apply(YBFS::TId id, std::string& text) const {
    for (const TEntry& e : entries_) {
        if (e.Id != id) continue;
        std::string exact;
        if (e.Rendering == text && platform::FromUtf8(e.Utf8, exact)) text = exact;
        return;
    }
}

const std::string& TExactTexts::Note(YBFS::TId id, const std::string& text) {
    if (!platform::HasEscapes(text)) return text;
    entries_.push_back({id, platform::CodePageRendering(text), platform::ToUtf8(text)});
    return entries_.back().Rendering;
}

void TExactTexts::WriteField(YBFS::TYBObject& owner) {
    if (!entries_.empty() || UnknownFields()) owner.WriteObject(kFieldId, *this);
}
