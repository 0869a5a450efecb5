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

// Code page 932 -> UTF-16 (UTF-32 where wchar_t is 32 bits). Bytes that form no
// character are taken leniently (as the system's converter does); never fails.
std::wstring Widen(const std::string& cp932);

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
