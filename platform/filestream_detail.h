#pragma once
// What the host's and the Windows implementation of filestream.h share: the
// failure texts, the checks before a read, the names of copies set aside and the
// write fault of the tests.
#include <cstddef>
#include <string>

namespace platform {
namespace filestream_detail {

std::string CannotOpen(const std::string& name);
std::string CannotCreate(const std::string& name);
std::string CannotWrite(const std::string& name);

// Checked before the file's memory is taken: throws the read failure of a file of
// more than maxBytes, or std::bad_alloc under the allocation fault of the tests.
void CheckReadable(const std::string& name, unsigned long long size, size_t maxBytes);

// The names CopyAside tries, in order (attempt 1 to kMaxAsideNames).
std::string AsideName(const std::string& fileName, int attempt);
const int kMaxAsideNames = 999;

// How many bytes a write of n bytes may put into the file under the fault seam.
size_t AllowedBytes(size_t n);

// Waits between attempts to replace a file that another program holds open:
// a few attempts with growing waits, under half a second in all.
const int kReplaceWaitsMs[] = {10, 30, 60, 120, 220};
const int kReplaceAttempts = (int)(sizeof kReplaceWaitsMs / sizeof kReplaceWaitsMs[0]);

} // namespace filestream_detail
} // namespace platform
