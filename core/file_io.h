// File access for the conversion: whole-file reads and crash-safe replacing writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// What a read does with a path that names something other than a regular file. Pictures and
// settings are files: a pipe, socket or device named like one is refused without being waited
// for. The command line names its inputs on purpose and reads a pipe given there
// (/dev/stdin, a shell's process substitution) to its end.
enum class TNonRegular { Refuse, ReadToEnd };

bool FileExists(const std::string& path);

// The part of the path after its last "/" (the whole path when it has none).
std::string FileNameOf(const std::string& path);

// The part of the path before its last "/": "." when it has none, "/" for a file at the root.
std::string DirectoryOf(const std::string& path);

// Where a chain of symbolic links at path ends: the path of the last link's target (taken from
// the link's directory when relative), which need not exist; path itself when it is no link.
// Directories on the way are left to the system.
std::string FollowSymbolicLinks(const std::string& path);

// Whether both paths lead to the same file (after every link, hard or symbolic); false when
// either does not exist.
bool SameFile(const std::string& first, const std::string& second);

// Reads the whole file, a regular file with one allocation. Raises EFOpenError when it cannot
// be opened, is a directory or is refused as a non-regular file, EOutOfMemory when it does not
// fit in memory and EReadError when it cannot be read to its end.
std::vector<uint8_t> ReadWholeFile(const std::string& path,
                                   TNonRegular nonRegular = TNonRegular::Refuse);

// Replaces (or creates) the file at path with exactly these bytes, never leaving a partial
// file behind: the bytes go to a temporary file in the same directory, unnamed where the file
// system allows, which is flushed to disk and then put in place by a rename. Every step works
// from the directory as it was opened at the start, so a directory swapped for a link
// meanwhile cannot send the file elsewhere. An existing file that may not be written (no write
// permission bit, as a read-only file on other systems) and a directory that may not be
// written are refused with EFCreateError, also for the superuser; so are a directory and any
// other non-regular file in the way. A short write raises EWriteError. On every failure the
// old file is untouched and no temporary file remains.
// A replaced file keeps its permission bits (never set-user-ID or set-group-ID ones) and, as
// far as the process may set them, its owner and group. A new file gets 0666 less the umask,
// and so does a file put in place of a symbolic link: the link is replaced, its target is left
// as it was.
void WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size);

// Overwrites an existing regular file where it is, for a file whose replacing would lose what
// belongs to it: its other hard links, or its place in a directory that may not be written.
// Not crash-safe, but a full disk leaves the old bytes: the file first grows to its new length
// (and is cut back on failure), and only then are the old bytes overwritten, which needs no new
// space. A file that may not be written (as for WriteFileReplacing) or is not a regular file
// is refused with EFCreateError; a failed write raises EWriteError.
void WriteFileInPlace(const std::string& path, const uint8_t* data, size_t size);

}  // namespace velmora
