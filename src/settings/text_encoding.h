// The encodings a settings file may be saved in by a text editor: ANSI or UTF-8 bytes as they
// are, UTF-8 after a byte order mark, or UTF-16 of either byte order after its mark (what
// Notepad calls "Unicode"). The profile parser works on UTF-8 text; these two functions turn a
// file's bytes into that text and the edited text back into bytes of the same encoding, so
// that a save never mixes two encodings in one file.
#pragma once

#include <string>
#include <string_view>

namespace mirelune {

enum class TextEncoding {
    Bytes,    // no byte order mark, or a UTF-16 one that the bytes after it belie
    Utf8Bom,  // the text follows the mark unchanged, whether or not it is valid UTF-8
    Utf16Le,
    Utf16Be,
};

struct DecodedText {
    TextEncoding encoding = TextEncoding::Bytes;
    std::string text;  // UTF-8 for the UTF-16 encodings; otherwise the bytes after any mark
};

// The text held in a file's bytes. After a UTF-16 mark, an odd number of bytes, a surrogate
// without its partner or a NUL character (what UTF-32, whose mark begins like UTF-16's, looks
// like) make the file no UTF-16 at all: it comes back as Bytes, unchanged.
DecodedText decodeText(std::string_view bytes);

// The bytes of `text` in `encoding`, its byte order mark included, so that encoding what
// decodeText gave returns the very bytes it was given. Text bound for UTF-16 is read as
// UTF-8; a byte that starts no valid UTF-8 sequence becomes U+FFFD.
std::string encodeText(std::string_view text, TextEncoding encoding);

}  // namespace mirelune
