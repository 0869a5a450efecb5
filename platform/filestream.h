#pragma once
// Whole-file reading and safe whole-file replacement, the file calls of the storage
// library and the icon caches. File names are code page 932 text. Failures are
// Exceptions with the message the user sees. The host's implementation is in
// filestream.cpp, the Windows one in win32/filestream.cpp.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

bool FileExists(const std::string& fileName);

// The largest file ReadWholeFile takes in by default: 256 MiB. A file is held whole
// in memory while it is read, beside what is built from it, and a 32-bit process
// has 2 GiB of address space for all of that. The data file takes at least 74 bytes
// per item slot, so this is room for some 3.6 million slots (360 pages of 100 x 100),
// whose items alone then take about 0.9 GB.
const size_t kMaxFileBytes = (size_t)256 << 20;

// Reads the whole file, letting other programs read but not write it meanwhile.
// The size is checked before any memory is taken. Failure: Exception "ファイル
// <name> は開けません", or for a file of more than maxBytes "ファイル <name> は大き
// すぎて読み込めません（... MB まで）".
std::vector<uint8_t> ReadWholeFile(const std::string& fileName, size_t maxBytes = kMaxFileBytes);

// Copies a file that could not be read beside itself, named for what it is and
// when: fileName + ".20261208-153000.unreadable" (the local time; "-2", "-3" ...
// after the time when that name is taken), never over an existing file. Then
// removes the oldest such copies beyond the kept newest ones. Returns the copy's
// name, or an empty text when no copy could be made (nothing is left behind then).
const size_t kUnreadableCopiesKept = 5;
std::string KeepUnreadableCopy(const std::string& fileName);
// The copies KeepUnreadableCopy made of fileName, oldest first.
std::vector<std::string> UnreadableCopies(const std::string& fileName);

// The backup of fileName: fileName + ".bak".
std::string BackupFileFor(const std::string& fileName);
// Keeps fileName as it is now as its backup, replacing an earlier backup in one
// step (the backup is always a whole file); false when it could not.
bool KeepBackup(const std::string& fileName);

// Writes bytes to a temporary file in the same folder, flushes it, then moves it
// over fileName. A failure at any step leaves the previous file whole and removes
// the temporary file. Failure: Exception "ファイル <name> を作成できません" (the
// temporary file cannot be created) or "ファイル <name> に書き込めません".
void ReplaceFileContents(const std::string& fileName, const std::vector<uint8_t>& bytes);

// Removes a file; false when it could not be removed (a missing one included).
bool RemoveFile(const std::string& fileName);

// The temporary file that ReplaceFileContents uses for fileName.
std::string TemporaryFileFor(const std::string& fileName);

// Test seam: while set, reading a whole file fails as an allocation failure
// (std::bad_alloc) does.
void SetReadAllocationFaultForTesting(bool fail);

// Test seam: while not empty, the time stamp (YYYYMMDD-HHMMSS) of the copies
// KeepUnreadableCopy makes.
void SetTimeStampForTesting(const std::string& stamp);

// Test seam: when set to n >= 0, the next writes of the temporary file stop after
// n bytes of the file (a short write, as a full disk gives). -1 turns it off.
void SetWriteFaultForTesting(long long failAfterBytes);

} // namespace platform
