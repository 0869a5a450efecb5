#pragma once
// Small helpers shared by the model, the main window and the dialogs: path and
// text helpers that respect Shift-JIS double-byte characters, number parsing for
// dialog fields and rectangle tests. Text is code page 932 throughout. The
// application's title and message box, which the helpers and their callers show
// messages with, come from platform/appcontext.h.
#include <string>

#include "platform/appcontext.h"
#include "platform/exception.h"
#include "platform/text.h"
#include "platform/types.h"

// ---- Multibyte text ----------------------------------------------------------

// True for a lead byte of a code page 932 double-byte character.
using platform::IsLeadByte;

// Where MbcsByteType may resume scanning: a caller that walks a text forward with
// one record rescans each character only once.
struct TMbcsState {
    int Position = 1;
};

enum class TByteType { Single = 0, Lead = 1, Trail = 2 };

// Kind of the byte at position index (counted from 1): 0 single-byte character,
// 1 lead byte, 2 trail byte. Positions past the end read as single bytes.
TByteType MbcsByteType(const std::string& text, int index, TMbcsState* state = nullptr);

// ---- Paths ---------------------------------------------------------------------

// Index of the last '\' or ':' of path, or npos. A trail byte that happens to be
// 0x5C (as in "表") is not a separator.
std::string::size_type LastPathDelimiter(const std::string& path);

// The text after the last '\' or ':'.
std::string FileNamePart(const std::string& path);

// The text before the last '\' or ':', keeping that '\' when it directly follows
// ':' or another '\': D:\a.exe -> D:\, D:\dir\a.exe -> D:\dir, a.exe -> "". The
// colon of a drive stays as well (D:a.exe -> D:): "D" would name another folder.
std::string DirectoryPart(const std::string& path);

// The extension of path: from the last '.' that follows the last '\' or ':', the
// '.' included; empty when there is none.
std::string GetExt(const std::string& path);

// GetExt upper-cased: ASCII letters only, never a byte of a double-byte character.
std::string GetUpperExt(const std::string& path);

// Upper-cases the ASCII letters of code page 932 text, leaving double-byte
// characters (whose trail bytes can look like letters) untouched.
std::string UpperCaseAnsi(const std::string& text);

// The text before its last '.', wherever that '.' stands (also inside a folder
// name); a text without '.' is returned whole.
std::string RemoveExt(const std::string& text);

// The path without the extension of its file name (GetExt): C:\my.tools\app.exe
// -> C:\my.tools\app, while C:\my.tools\app stays whole.
std::string RemoveFileExt(const std::string& path);

// True when the path is a URL (a scheme of two or more characters and a colon,
// as in http: or mailto:) or a name of the shell's own namespace (shell:..., or
// ::{...}): something the shell resolves itself rather than a file system path.
bool IsShellAddress(const std::string& path);

// True when text ends with a '\' that is a character of its own (not the trail
// byte of a double-byte character).
bool EndsWithPathDelimiter(const std::string& text);

// 0 missing (or any failure of the query), 1 file, 2 folder; asks the system.
platform::TPathKind GetPathKind(const std::string& path);

// ---- Numbers and rectangles ------------------------------------------------------

// Parses a decimal integer (leading blanks and a sign allowed; anything else, or a
// value beyond 32 bits, gives defaultValue), raises it to minimum, then lowers it
// to maximum.
int StrToIntRange(const std::string& text, int minimum, int maximum, int defaultValue);

// left <= x < right and top <= y < bottom.
inline bool PtInRectHalfOpen(const platform::TPoint& p, const platform::TRect& r) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// (0, 0, width, height) of any control that tells its size.
template <class TControl> platform::TRect ClientRectOf(const TControl& control) {
    return platform::TRect(0, 0, control.Width(), control.Height());
}
