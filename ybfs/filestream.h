#pragma once
// Whole-file reading and safe whole-file replacement. File names are code page
// 932 text. Failures are Exceptions with the message the user sees.
#include <cstdint>
#include <string>
#include <vector>

namespace YBFS {

bool FileExists(const std::string& fileName);

// Reads the whole file, letting other programs read but not write it meanwhile.
// Failure: Exception "ファイル <name> は開けません".
std::vector<uint8_t> ReadWholeFile(const std::string& fileName);

// Writes bytes to a temporary file in the same folder, flushes it, then moves it
// over fileName. A failure at any step leaves the previous file whole and removes
// the temporary file. Failure: Exception "ファイル <name> を作成できません" (the
// temporary file cannot be created) or "ファイル <name> に書き込めません".
void ReplaceFileContents(const std::string& fileName, const std::vector<uint8_t>& bytes);

// Removes a file; false when it could not be removed (a missing one included).
bool RemoveFile(const std::string& fileName);

// The temporary file that ReplaceFileContents uses for fileName.
std::string TemporaryFileFor(const std::string& fileName);

// Test seam: when set to n >= 0, the next writes of the temporary file stop after
// n bytes of the file (a short write, as a full disk gives). -1 turns it off.
void SetWriteFaultForTesting(long long failAfterBytes);

} // namespace YBFS
