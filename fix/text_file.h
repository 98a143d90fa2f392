// The text file that `lexivane fix` corrects: read and validated once, written back so that
// nothing is ever lost.
//
// Reading keeps everything needed to write the file back as it was apart from the corrections:
// the UTF-8 byte order mark (if any), the line ends (in the text, untouched), the permission
// bits, and the size, modification time and bytes that tell whether someone else changed the
// file meanwhile. Only UTF-8 is accepted; anything else is refused with the offset of the first
// byte that is not UTF-8.
//
// Writing is atomic: a temporary file in the same folder is written, flushed to the disk and
// renamed over the file, so the file holds either the old or the new text, never a mix, even
// when the disk fills up or the tool is killed. A symbolic link stays a link: the file it leads
// to is the one replaced. Every failure throws CommandError naming the file and saying what
// was left as it was. Main thread only, like the rest of the tool.
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
  timespec modified{};
};

// The offset of the first byte that does not belong to a well-formed UTF-8 sequence (overlong
// forms, surrogates and values above U+10FFFF included), or nothing when all of it is UTF-8.
std::optional<std::size_t> FirstInvalidUtf8Byte(std::string_view bytes);

// Throws CommandError when the file cannot be read, is not a regular file, or is not UTF-8.
TextFile ReadTextFile(const std::string& name);

// Throws CommandError when the file could not be replaced (its folder or the file itself is not
// writable), so that nobody corrects a file that cannot take the corrections.
void CheckReplaceable(const TextFile& file);

// The bytes to write for `text`, with the file's byte order mark when it had one.
std::string EncodeLike(const TextFile& file, std::u16string_view text);

// True when the file on disk is no longer what ReadTextFile read: another size, modification
// time or content, or gone.
bool ChangedOnDisk(const TextFile& file);

// Replaces the file at `path` with `bytes` atomically, giving it the permission bits `mode`.
// Throws CommandError ("NAME: cannot write: REASON; ...") and leaves the old file as it was.
void ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode,
                 const std::string& name);

// Writes `bytes` to a new file beside `path`, named `path` + `suffix`, or `path` + `suffix` +
// ".1", ".2", ... when that exists; an existing file is never replaced. Returns its name.
std::string WriteBeside(const std::string& path, const std::string& suffix, std::string_view bytes,
                        mode_t mode);

}  // namespace lexivane::frontend::fix
