#pragma once
// The text boundary. Text inside the program is code page 932 bytes, exactly as
// the data file stores it; at the system boundary it is converted explicitly with
// code page 932 (never with the system's ANSI page) and the wide functions are used.
#include <string>

namespace platform {

// True for a lead byte of a code page 932 double-byte character (0x81-0x9F,
// 0xE0-0xFC); the byte after it belongs to the same character.
inline bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Program text is code page 932 bytes; a character that code page has no form for
// (an accented Latin letter outside it, Korean, an emoji, a lone surrogate of a file
// name) is carried as an escape of 8 bytes: the units 85 xx, 86 xx, 86 xx, 86 xx,
// each xx 0x80-0xBF, holding 3, 6, 6 and 6 bits of the code point. Code page 932
// assigns nothing to the lead bytes 85 and 86, so no stored text holds an escape,
// and every scan that steps over double-byte characters steps over escapes whole.
const size_t kEscapeBytes = 8;
// The length of the escape at text[i], or 0 when none starts there.
size_t EscapeAt(const std::string& text, size_t i);
bool HasEscapes(const std::string& text);

// Program text -> UTF-16 (UTF-32 where wchar_t is 32 bits), escapes included.
// Bytes that form no character are taken leniently (as the system's converter
// does); never fails.
std::wstring Widen(const std::string& cp932);

// Any UTF-16 text -> program text, code page 932 wherever it can be; never fails
// and never loses a character.
std::string FromWide(const std::wstring& wide);

// The best code page 932 form of a program text: each escape becomes '?'.
std::string CodePageRendering(const std::string& text);

// Program text <-> UTF-8, exactly (a lone surrogate as its three-byte form).
// FromUtf8 gives false, leaving out empty, for bytes that are no UTF-8.
std::string ToUtf8(const std::string& text);
bool FromUtf8(const std::string& utf8, std::string& out);

// UTF-16 -> code page 932. Returns false, leaving out empty, when some character
// has no code page 932 form: such text must be refused, never stored with '?'.
bool Narrow(const std::wstring& wide, std::string& out);

// Narrow() that substitutes '?' for characters without a code page 932 form;
// only for text that is shown, never for text that is stored or used as a path.
std::string NarrowForDisplay(const std::wstring& wide);

// The text upper-cased as the system does it regardless of the user's language:
// every script's letters (Latin, Greek, Cyrillic, full-width ...), so that two
// names the file system takes for the same one give the same text.
std::wstring UpperCaseLikeSystem(const std::wstring& text);

// UTF-8 <-> code page 932 (file names on the host, messages in tests).
std::string Cp932ToUtf8(const std::string& cp932);
bool Utf8ToCp932(const std::string& utf8, std::string& out);

} // namespace platform
