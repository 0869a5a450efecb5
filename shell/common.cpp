#include "shell/common.h"

#include "platform/system.h"

// ---- Multibyte text ----------------------------------------------------------

TByteType MbcsByteType(const std::string& text, int index, TMbcsState* state) {
    int start = 1;
    if (state && index >= state->Position && state->Position >= 1) start = state->Position;
    TByteType result = TByteType::Single;
    size_t remaining = 0; // bytes of the current character after this one
    for (int p = start; p <= index; ++p) {
        if (remaining > 0) {
            result = TByteType::Trail;
            --remaining;
            continue;
        }
        bool inside = p >= 1 && (size_t)p <= text.size();
        unsigned char c = inside ? (unsigned char)text[(size_t)p - 1] : 0;
        // An escaped character is one character of eight bytes: it is never cut.
        size_t escape = inside ? platform::EscapeAt(text, (size_t)p - 1) : 0;
        if (escape || IsLeadByte(c)) {
            result = TByteType::Lead;
            remaining = escape ? escape - 1 : 1;
        } else {
            result = TByteType::Single;
        }
    }
    // Scanning resumes at the start of a character.
    if (state) state->Position = result == TByteType::Trail ? index + 1 + (int)remaining : index;
    return result;
}

// ---- Paths ---------------------------------------------------------------------

namespace {
bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
} // namespace

std::string::size_type LastPathDelimiter(const std::string& path) {
    std::string::size_type last = std::string::npos;
    for (std::string::size_type i = 0; i < path.size(); ++i) {
        unsigned char c = (unsigned char)path[i];
        if (IsLeadByte(c)) {
            ++i; // the trail byte may be 0x5C: never a separator
            continue;
        }
        if (c == '\\' || c == ':') last = i;
    }
    return last;
}

std::string FileNamePart(const std::string& path) {
    std::string::size_type d = LastPathDelimiter(path);
    return d == std::string::npos ? path : path.substr(d + 1);
}

std::string DirectoryPart(const std::string& path) {
    std::string::size_type d = LastPathDelimiter(path);
    if (d == std::string::npos) return std::string();
    // A drive-relative path (D:a.exe) lives in the current folder of drive D:, which
    // is "D:"; the bare letter would be a folder named D.
    if (d == 1 && path[d] == ':' && IsDriveLetter(path[0])) return path.substr(0, 2);
    // Keep the '\' of a root (D:\) or of a doubled separator (\\server).
    if (path[d] == '\\' && d > 0 && (path[d - 1] == ':' || path[d - 1] == '\\') &&
        MbcsByteType(path, (int)d) == TByteType::Single)
        return path.substr(0, d + 1);
    return path.substr(0, d);
}

std::string GetExt(const std::string& path) {
    std::string::size_type d = LastPathDelimiter(path);
    std::string::size_type from = d == std::string::npos ? 0 : d + 1;
    std::string::size_type dot = path.rfind('.');
    // '.' (0x2E) is never a trail byte, so a plain search is safe here.
    if (dot == std::string::npos || dot < from) return std::string();
    return path.substr(dot);
}

std::string UpperCaseAnsi(const std::string& text) {
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = (unsigned char)out[i];
        if (IsLeadByte(c)) {
            ++i;
            continue;
        }
        if (c >= 'a' && c <= 'z') out[i] = (char)(c - 'a' + 'A');
    }
    return out;
}

std::string GetUpperExt(const std::string& path) {
    return UpperCaseAnsi(GetExt(path));
}

std::string RemoveExt(const std::string& text) {
    std::string::size_type dot = text.rfind('.');
    return dot == std::string::npos ? text : text.substr(0, dot);
}

std::string RemoveFileExt(const std::string& path) {
    return path.substr(0, path.size() - GetExt(path).size());
}

bool IsShellAddress(const std::string& path) {
    if (path.compare(0, 2, "::") == 0) return true;
    // A scheme: a letter, then letters, digits, '+', '-' or '.'; one letter is a drive.
    size_t i = 0;
    if (path.empty() || !IsDriveLetter(path[0])) return false;
    while (++i < path.size()) {
        char c = path[i];
        if (c == ':') return i >= 2;
        if (!IsDriveLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    }
    return false;
}

bool EndsWithPathDelimiter(const std::string& text) {
    if (text.empty()) return false;
    return text.back() == '\\' && MbcsByteType(text, (int)text.size()) == TByteType::Single;
}

platform::TPathKind GetPathKind(const std::string& path) {
    return platform::System().GetPathKind(path);
}

// ---- Numbers -----------------------------------------------------------------------

int StrToIntRange(const std::string& text, int minimum, int maximum, int defaultValue) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    bool number = i < text.size();
    for (; i < text.size() && number; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            number = false;
        } else {
            value = value * 10 + (text[i] - '0');
            if (value > 2147483648LL) number = false; // beyond 32 bits: not a number here
        }
    }
    if (number && !negative && value > 2147483647LL) number = false;
    int result = number ? (int)(negative ? -value : value) : defaultValue;
    if (result < minimum) result = minimum;
    if (result > maximum) result = maximum;
    return result;
}
