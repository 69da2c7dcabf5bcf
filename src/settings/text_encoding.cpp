#include "settings/text_encoding.h"

#include <optional>

namespace mirelune {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t c) {
    const auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

char32_t unitAt(std::string_view bytes, std::size_t i, bool bigEndian) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? char32_t((first << 8) | second) : char32_t((second << 8) | first);
}

// The UTF-8 text of UTF-16 code units; nothing when they are not text.
std::optional<std::string> utf16ToUtf8(std::string_view units, bool bigEndian) {
    if (units.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); i += 2) {
        char32_t c = unitAt(units, i, bigEndian);
        if (c == 0 || isLowSurrogate(c)) {
            return std::nullopt;
        }
        if (isHighSurrogate(c)) {
            i += 2;
            const char32_t low = i < units.size() ? unitAt(units, i, bigEndian) : 0;
            if (!isLowSurrogate(low)) {
                return std::nullopt;
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(out, c);
    }
    return out;
}

// The character that starts at `i`, and moves `i` past it; a byte that starts no valid
// sequence (a stray continuation byte, a cut-off or overlong sequence, a surrogate or a value
// beyond U+10FFFF) gives U+FFFD and is passed alone.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
        return lead;
    }
    const std::size_t length = lead >= 0xF8   ? 0
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 0;
    if (length == 0 || i + length - 1 > text.size()) {
        return kReplacement;
    }
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 0; k + 1 < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return kReplacement;
        }
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || isHighSurrogate(c) || isLowSurrogate(c)) {
        return kReplacement;
    }
    i += length - 1;
    return c;
}

void appendUtf16(std::string& out, char32_t c, bool bigEndian) {
    const auto putUnit = [&](char32_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    };
    if (c < 0x10000) {
        putUnit(c);
        return;
    }
    c -= 0x10000;
    putUnit(0xD800 + (c >> 10));
    putUnit(0xDC00 + (c & 0x3FF));
}

std::string utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out(bigEndian ? kUtf16BeMark : kUtf16LeMark);
    out.reserve(out.size() + 2 * text.size());
    for (std::size_t i = 0; i < text.size();) {
        appendUtf16(out, nextCodePoint(text, i), bigEndian);
    }
    return out;
}

}  // namespace

DecodedText decodeText(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) {
        return {TextEncoding::Utf8Bom, std::string(bytes.substr(kUtf8Mark.size()))};
    }
    for (const bool bigEndian : {false, true}) {
        const std::string_view mark = bigEndian ? kUtf16BeMark : kUtf16LeMark;
        if (!bytes.starts_with(mark)) {
            continue;
        }
        if (std::optional<std::string> text = utf16ToUtf8(bytes.substr(mark.size()), bigEndian)) {
            return {bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le, std::move(*text)};
        }
    }
    return {TextEncoding::Bytes, std::string(bytes)};
}

std::string encodeText(std::string_view text, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8Bom:
            return std::string(kUtf8Mark).append(text);
        case TextEncoding::Utf16Le:
            return utf8ToUtf16(text, false);
        case TextEncoding::Utf16Be:
            return utf8ToUtf16(text, true);
        case TextEncoding::Bytes:
            break;
    }
    return std::string(text);
}

}  // namespace mirelune
