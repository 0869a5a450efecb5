#pragma once
// Where Kirostart finds the program it starts: the folder of its own program file.
// Kept free of <windows.h> and of the standard library so that the tests can check
// it on the host and Kirostart stays a bare program.
#include <cstddef>

namespace quickstart {

// `buffer` holds the full path of a program file, `length` characters long (as the
// system reported it), in a buffer of `capacity` characters. Writes `name` and its
// terminating zero over the file name, so that the buffer names `name` in the same
// folder, and returns true. Returns false, with the buffer unusable, when nothing
// must be started: the path is empty or was cut short by the buffer (a length that
// reaches the capacity), it has no folder part, or the new path would not fit.
inline bool ReplaceFileName(wchar_t* buffer, std::size_t length, std::size_t capacity, const wchar_t* name) {
    if (length == 0 || length >= capacity) return false;
    std::size_t start = length;
    while (start > 0 && buffer[start - 1] != L'\\')
        --start;
    if (start == 0) return false;
    std::size_t nameLength = 0;
    while (name[nameLength] != L'\0')
        ++nameLength;
    if (start + nameLength >= capacity) return false;
    for (std::size_t i = 0; i <= nameLength; ++i)
        buffer[start + i] = name[i];
    return true;
}

} // namespace quickstart
