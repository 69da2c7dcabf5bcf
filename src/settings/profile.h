// Private-profile ("ini") text: "[Section]" lines, each followed by "key=value" lines.
// Everything here works on text in memory; reading and writing files is a separate layer.
//
// Matching rules: section and key names compare ignoring ASCII letter case, with blanks
// (spaces and tabs) around them trimmed. Lines whose first non-blank character is ';' are
// comments. Lines before the first section belong to no section and are never matched. When
// a section or key appears twice, the first one is the one read and the one written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirelune {

// The value text of a key, blanks around it trimmed; nothing when the section or the key is
// missing. The view points into `text`.
std::optional<std::string_view> readProfileString(std::string_view text, std::string_view section,
                                                  std::string_view key);

// A key's value read as an integer: leading blanks skipped, an optional sign, then decimal
// digits; whatever follows the digits is ignored and a value without digits reads as 0.
// Numbers beyond the 32-bit range saturate at its ends. A missing section or key, or a key
// whose value is empty, gives `defaultValue`.
std::int32_t readProfileInt(std::string_view text, std::string_view section, std::string_view key,
                            std::int32_t defaultValue);

// The whole text after setting key=value in the section. An existing key's line is replaced;
// a missing key goes after the last key line of its section; a missing section is appended
// at the end. Every other byte of `text` is kept as it was. New lines use the text's own line
// ending (that of its first line), or CRLF when the text has none yet.
std::string writeProfileString(std::string_view text, std::string_view section,
                               std::string_view key, std::string_view value);

}  // namespace mirelune
