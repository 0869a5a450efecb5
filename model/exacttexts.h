#pragma once
// The exact form of the texts that code page 932 cannot hold. The data file keeps
// texts in code page 932: such a text is stored there as its best code page
// rendering, and the object that holds it adds one object field (kFieldId) that
// holds, under the text's own field id, an object with the rendering (id 0) and the
// exact text in UTF-8 (id 1). A reader takes the exact text only while the code page
// field still holds the recorded rendering: a program that knows only the code page
// fields may have changed it since, and then its text wins. Programs that do not
// know this field keep it as an unknown field and write it back.
#include <string>
#include <vector>

#include "ybfs/ybfs2.h"

class TExactTexts : public YBFS::TYBObject {
public:
    // Far above the ids any stored object uses for its own members.
    static const YBFS::TId kFieldId = 0x7E00;

    // ids: the count fields of the owner whose exact texts this object reads
    // (a static table: items hold one of these each).
    TExactTexts(const YBFS::TId* ids, size_t count) : ids_(ids), count_(count) {}
    TExactTexts(TExactTexts&& other)
        : YBFS::TYBObject(other), ids_(other.ids_), count_(other.count_), entries_(std::move(other.entries_)) {}
    TExactTexts& operator=(const TExactTexts&) = delete;

    void Reset(bool) override { entries_.clear(); }
    void ReadMembers() override;
    void WriteMembers() override;

    // Reading: reads the owner's field (before: the owner read its code page
    // fields); forgets what an earlier read found when the owner has none.
    void ReadField(YBFS::TYBObject& owner);
    // Nothing to keep: no exact text and no unknown field.
    bool Empty() const { return entries_.empty() && !UnknownFields(); }
    // Reading: text, as read from field id, becomes the exact text when the
    // field still holds the rendering recorded for it.
    void Apply(YBFS::TId id, std::string& text) const;

    // Writing: call BeginWrite, then Note for each text field (it gives what the
    // code page field holds), then WriteField after the owner's own fields.
    void BeginWrite() { entries_.clear(); }
    // The result lives until the next Note.
    const std::string& Note(YBFS::TId id, const std::string& text);
    void WriteField(YBFS::TYBObject& owner);

private:
    struct TEntry {
        YBFS::TId Id;
        std::string Rendering;
        std::string Utf8;
    };
    const YBFS::TId* ids_;
    size_t count_;
    std::vector<TEntry> entries_;
};
