// Reading, writing, copying and deleting whole files while other processes
// (the host, virus scanners, an editor) may hold them for a moment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/streams.h"
#include "support/string_list.h"

namespace vx {

// Loads and saves try up to 100 times, 100 ms apart; the exception of the
// last attempt reaches the caller.
constexpr int kFileAttempts = 100;
constexpr int kFileRetryPauseMs = 100;

// Where and why ReadWholeFile failed: at opening (a pipe, device or folder
// is refused there at once with kErrorBadFileType, never waited for) or
// at reading (its size or its bytes), with the OS error code as TOsFile
// numbers it.
struct TFileReadError {
  enum class TStep { Open, Read };
  TStep Step = TStep::Open;
  int Code = 0;
};

// One read of a whole regular file, without retries, into content. A file
// that becomes shorter while it is read gives what it had. False, with
// *error when given and *content unchanged, when it cannot be opened or
// read; the caller says so in its own words.
bool ReadWholeFile(const std::string& fileName, std::string* content, TFileReadError* error = nullptr);

// The same into a new block of one byte more than the file's size (so that
// even an empty file gives a block), not filled beforehand: for a large
// file whose bytes are read once; *size is the count read. On failure
// *block stays as it was.
bool ReadWholeFile(const std::string& fileName, std::unique_ptr<char[]>* block, size_t* size,
                   TFileReadError* error = nullptr);

// Writes every line followed by CR LF; creates the folder; clears the
// read-only and hidden bits for the write and restores them.
void SaveStringsRetry(const TStringList& list, const std::string& fileName);

// Replaces the list's lines with the file's; an absent file changes nothing.
void LoadStringsRetry(TStringList& list, const std::string& fileName);

// One line of a text file as LoadBoundedLinesRetry reads it.
struct TBoundedLine {
  std::string Text;    // its first bytes, at most the bound
  int64_t Length = 0;  // its whole length; more than Text holds when cut
};

// The lines of a text file, split as TStringList::SetText splits them, read
// piece by piece so that neither a long line nor a long file fills the
// memory: each line keeps its first maxLength bytes, and only the first
// maxLines lines are read (moreLines, when given, tells whether the file
// has more). An absent file gives none. Retries as LoadStringsRetry does.
std::vector<TBoundedLine> LoadBoundedLinesRetry(const std::string& fileName, size_t maxLength, size_t maxLines,
                                                bool* moreLines = nullptr);

// Writes the whole memory stream; true on success.
bool SaveStreamRetry(TMemoryStream& stream, const std::string& fileName);

// Loads the whole file into the stream; an absent file changes nothing.
void LoadStreamRetry(TMemoryStream& stream, const std::string& fileName);

// Like SaveStreamRetry, but each retry writes to "[n]name" in the same
// folder; returns the name actually written. A file that an attempt
// created but could not fill is removed again.
std::string SaveStreamUnique(TMemoryStream& stream, const std::string& fileName);

// "folder\[n]name".
std::string NumberedFileName(int n, const std::string& fileName);

// True when the file is gone (also when it never was there).
bool DeleteFileRetry(const std::string& fileName);

// No retries: true when the file is absent or was deleted.
bool DeleteFileIfPresent(const std::string& fileName);

// One copy of source over target (creating its folder); false when the
// source cannot be read or the target not written.
bool CopyFileOnce(const std::string& source, const std::string& target);

// Copies source over target (creating its folder) in 60 KiB chunks, up to
// 10 attempts with growing pauses. Raises when the source cannot be opened;
// false when every attempt failed.
bool CopyFileRetry(const std::string& source, const std::string& target);

// Writes content to a temporary file beside fileName and then puts it in
// place in one step, so a failure part-way leaves the old file intact.
// False with the OS error code (as TOsFile numbers it) when it cannot.
bool TryReplaceFileContent(const std::string& fileName, std::string_view content, int* error);

// TryReplaceFileContent; raises EFCreateError "Datei %s kann nicht erstellt
// werden" followed by two blanks and the system's reason.
void ReplaceFileContent(const std::string& fileName, std::string_view content);

}  // namespace vx
