// The text file that `lexivane fix` corrects: read and validated once, written back so that
// nothing is ever lost.
//
// Reading keeps everything needed to write the file back as it was apart from the corrections:
// the UTF-8 byte order mark (if any), the line ends (in the text, untouched), the permission
// bits, and the size, modification time and bytes that tell whether someone else changed the
// file meanwhile. Only UTF-8 is accepted; anything else is refused with the offset of the first
// byte that is not UTF-8.
//
// Writing is planned before anything is asked (PlanWrite), so that whatever the final write
// needs is known to be there. It is atomic where it can be: a temporary file in the same folder
// is written, flushed to the disk and renamed over the file, so the file holds either the old or
// the new text, never a mix, even when the disk fills up or the tool is killed; the new file gets
// the old one's permission bits, owner and group. A file that a new one could not stand in for
// (one with other hard links, or whose owner or group the process may not give a new file) is
// written in place instead, once its backup is on the disk, and stays the very same file. A
// symbolic link stays a link: the file it leads to is the one written. Every failure throws
// CommandError naming the file and saying what became of it; none leaves a temporary file
// behind. Main thread only, like the rest of the tool.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace lexivane::frontend::fix {

struct TextFile {
  std::string name;  // as the user gave it, for messages
  std::string path;  // the file that is read and replaced: name with symbolic links resolved
  bool byte_order_mark = false;
  std::u16string text;  // without the byte order mark
  std::string bytes;    // the whole file as read
  mode_t mode = 0;      // permission bits
  uid_t owner = 0;
  gid_t group = 0;
  nlink_t links = 1;  // its names (hard links)
  timespec modified{};
};

enum class WriteMethod {
  kReplace,  // a new file renamed over it
  kInPlace,  // its own bytes overwritten, after the backup
};

// The offset of the first byte that does not belong to a well-formed UTF-8 sequence (overlong
// forms, surrogates and values above U+10FFFF included), or nothing when all of it is UTF-8.
std::optional<std::size_t> FirstInvalidUtf8Byte(std::string_view bytes);

// Throws CommandError when the file cannot be read, is not a regular file, or is not UTF-8.
TextFile ReadTextFile(const std::string& name);

// How the corrections will be written, with the original kept as `backup` (none when empty),
// after checking everything that needs: the file and its folder writable, a backup that is no
// folder and that the process may replace (in a folder with the sticky bit only its owner may),
// and the backup itself where the file can only be written in place. Throws CommandError
// ("NAME: not changed: ...") otherwise, so that nobody corrects a file that cannot take the
// corrections.
WriteMethod PlanWrite(const TextFile& file, const std::string& backup);

// Writes `bytes` to the file as planned: the original bytes first go to `backup` (unless it is
// empty), then the file gets `bytes`. When that fails, throws CommandError saying what became of
// the file, and keeps `bytes` beside it as WriteBeside(file, ".fixed", ...) does where it can;
// the corrected text is written to the disk before the backup, so that a disk with room for it
// alone still keeps it (as a second name of the same bytes).
void WriteBack(const TextFile& file, WriteMethod method, const std::string& backup,
               std::string_view bytes);

// The bytes to write for `text`, with the file's byte order mark when it had one.
std::string EncodeLike(const TextFile& file, std::u16string_view text);

// True when the file on disk is no longer what ReadTextFile read: another size, modification
// time or content, or gone.
bool ChangedOnDisk(const TextFile& file);

// Replaces the file at `path` with `bytes` atomically, giving it the permission bits `mode`.
// Throws CommandError ("NAME: cannot write: REASON; ...") and leaves the old file as it was.
void ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode,
                 const std::string& name);

// Writes `bytes` to a new file beside the file, named its path + `suffix`, or that + ".1", ".2",
// ... when it exists, with the file's permission bits, owner and group; an existing file is
// never replaced. Returns its name.
std::string WriteBeside(const TextFile& file, const std::string& suffix, std::string_view bytes);

}  // namespace lexivane::frontend::fix
