#pragma once
// What the host's and the Windows implementation of filestream.h share: the
// failure texts, the checks before a read, the names of copies set aside and the
// write fault of the tests.
#include <cstddef>
#include <string>
#include <vector>

namespace platform {
namespace filestream_detail {

std::string CannotOpen(const std::string& name);
std::string CannotCreate(const std::string& name);
std::string CannotWrite(const std::string& name);

// Checked before the file's memory is taken: throws the read failure of a file of
// more than maxBytes, or std::bad_alloc under the allocation fault of the tests.
void CheckReadable(const std::string& name, unsigned long long size, size_t maxBytes);

// The names KeepUnreadableCopy tries at the time stamp (YYYYMMDD-HHMMSS), in
// order (attempt 1 to kMaxAsideNames).
std::string AsideName(const std::string& fileName, const std::string& stamp, int attempt);
const int kMaxAsideNames = 999;
// The local time as YYYYMMDD-HHMMSS.
std::string LocalTimeStamp();
// The names of the files in the folder of fileName (names only, no folder).
std::vector<std::string> FilesBeside(const std::string& fileName);
// Copies source into a new file target that must not exist yet; false, with
// nothing left behind, when that fails; exists tells that target was there.
bool CopyIntoNewFile(const std::string& source, const std::string& target, bool& exists);

// How many bytes a write of n bytes may put into the file under the fault seam.
size_t AllowedBytes(size_t n);

// Waits between attempts to replace a file that another program holds open:
// a few attempts with growing waits, under half a second in all.
const int kReplaceWaitsMs[] = {10, 30, 60, 120, 220};
const int kReplaceAttempts = (int)(sizeof kReplaceWaitsMs / sizeof kReplaceWaitsMs[0]);

} // namespace filestream_detail
} // namespace platform
