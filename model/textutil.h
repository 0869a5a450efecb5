#pragma once
// Code page 932 text helpers that the model and the face rendering need: lead and
// trail bytes, and the parts of a path. A trail byte of a double-byte character
// may be 0x5C ('\') or an ASCII letter, so every scan here walks characters, not
// bytes.
#include <cstddef>
#include <string>

namespace textutil {

// Lead bytes of code page 932 (0x81-0x9F, 0xE0-0xFC).
bool IsLeadByte(unsigned char c);

// Where a forward scan may resume: the position from which scanning can start.
struct TMbcsState {
    int Position = 1;
};

// Kind of the byte at position index (counted from 1): 0 single-byte character,
// 1 lead byte, 2 trail byte. With a state the scan resumes where the previous
// call left it, so walking a text forward reads every byte once.
int MbcsByteType(const std::string& text, int index, TMbcsState* state = nullptr);

// Index of the last '\' or ':' that is a character of its own (not a trail
// byte), or std::string::npos.
size_t LastPathDelimiter(const std::string& path);

// The text after the last '\' or ':'.
std::string FileNamePart(const std::string& path);

// The text before the last '\' or ':'. The '\' stays when it follows ':' or
// another '\' (D:\a.exe gives D:\), and a drive colon stays (D:a.exe gives D:).
std::string DirectoryPart(const std::string& path);

// The text before its last '.', wherever that '.' stands.
std::string RemoveExt(const std::string& text);

// The extension (from the last '.' after the last '\' or ':'), ASCII letters
// upper-cased, double-byte characters untouched; empty when there is none.
std::string GetUpperExt(const std::string& path);

} // namespace textutil
