// The thin file layer under the settings: whole small text files in, whole text files out.
// Only std::filesystem and file streams, so it works the same on every platform.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mirelune {

// A settings file is a few dozen bytes; anything larger than this is not one of ours, and is
// refused whole rather than read in part, so that a later save cannot cut it short.
inline constexpr std::size_t kMaxTextFileSize = std::size_t{1} << 20;

struct FileWriteResult {
    bool ok = false;
    std::string message;  // why the write failed; empty on success
};

// The file's bytes, unchanged (no line-ending translation). Nothing when the path is missing,
// is not a regular file, cannot be read, or is larger than kMaxTextFileSize.
std::optional<std::string> readTextFile(const std::filesystem::path& path);

// Replaces the file with `text` so that readers see either the old or the new contents,
// never a mix: the text goes to a temporary file beside the target, which is flushed, closed
// and then renamed over the target. On any failure the temporary file is removed and the
// target is left as it was. The target's directory must already exist.
FileWriteResult writeTextFileAtomically(const std::filesystem::path& target, std::string_view text);

// Creates the directory and any missing parents; true when the directory exists afterwards.
bool ensureDirectory(const std::filesystem::path& directory);

// The entry of `directory` whose name equals `name` ignoring ASCII letter case, or
// directory / name when there is none. Where several entries differ only in case, the one
// whose name sorts first is chosen whatever the spelling asked for, so that every spelling
// of the name reaches the same file.
std::filesystem::path findEntryIgnoringCase(const std::filesystem::path& directory,
                                            std::string_view name);

}  // namespace mirelune
