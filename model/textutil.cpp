#include "model/textutil.h"

namespace textutil {

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int MbcsByteType(const std::string& text, int index, TMbcsState* state) {
    int start = 1;
    if (state && index >= state->Position) start = state->Position;
    int result = 0;
    for (int p = start; p <= index && p <= (int)text.size(); ++p) {
        if (result == 1)
            result = 2;
        else
            result = IsLeadByte((unsigned char)text[(size_t)p - 1]) ? 1 : 0;
    }
    if (state) state->Position = result == 2 ? index + 1 : index;
    return result;
}

size_t LastPathDelimiter(const std::string& path) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = (unsigned char)path[i];
        if (IsLeadByte(c)) {
            ++i; // the trail byte is part of this character
            continue;
        }
        if (c == '\\' || c == ':') found = i;
    }
    return found;
}

std::string FileNamePart(const std::string& path) {
    size_t d = LastPathDelimiter(path);
    return d == std::string::npos ? path : path.substr(d + 1);
}

std::string DirectoryPart(const std::string& path) {
    size_t d = LastPathDelimiter(path);
    if (d == std::string::npos) return std::string();
    if (path[d] == ':') return path.substr(0, d + 1);
    // d > 0 here means the byte before it is a single-byte character or a trail
    // byte; a trail byte can be 0x5C, so look at the character, not the byte.
    if (d > 0) {
        size_t prev = d - 1;
        bool prevIsTrail = MbcsByteType(path, (int)prev + 1) == 2;
        if (!prevIsTrail && (path[prev] == ':' || path[prev] == '\\')) return path.substr(0, d + 1);
    }
    return path.substr(0, d);
}

std::string RemoveExt(const std::string& text) {
    size_t dot = text.rfind('.'); // '.' is never a trail byte
    return dot == std::string::npos ? text : text.substr(0, dot);
}

std::string GetUpperExt(const std::string& path) {
    size_t d = LastPathDelimiter(path);
    size_t from = d == std::string::npos ? 0 : d + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < from) return std::string();
    std::string ext = path.substr(dot);
    for (size_t i = 0; i < ext.size(); ++i) {
        unsigned char c = (unsigned char)ext[i];
        if (IsLeadByte(c)) {
            ++i;
            continue;
        }
        if (c >= 'a' && c <= 'z') ext[i] = (char)(c - 'a' + 'A');
    }
    return ext;
}

} // namespace textutil
