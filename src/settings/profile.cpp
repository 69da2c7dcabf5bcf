#include "settings/profile.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "common/ascii.h"

namespace mirelune {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool namesMatch(std::string_view a, std::string_view b) {
    a = trimBlanks(a);
    b = trimBlanks(b);
    return equalsIgnoringAsciiCase(a, b);
}

// One line of the text as offsets, so that untouched lines can be copied back byte for byte.
struct Line {
    std::size_t start = 0;
    std::size_t bodyEnd = 0;  // where "\r\n" or "\n" begins
    std::size_t end = 0;      // just past the line ending
    bool hasEnding() const { return end > bodyEnd; }
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back({start, text.size(), text.size()});
            break;
        }
        const bool crlf = newline > start && text[newline - 1] == '\r';
        lines.push_back({start, crlf ? newline - 1 : newline, newline + 1});
        start = newline + 1;
    }
    return lines;
}

std::string_view lineEndingOf(std::string_view text) {
    const std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos && (newline == 0 || text[newline - 1] != '\r')) {
        return "\n";
    }
    return "\r\n";
}

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, untrimmed
    std::string_view value;  // key lines only
};

ParsedLine parseLine(std::string_view text, const Line& line) {
    std::string_view body = trimBlanks(text.substr(line.start, line.bodyEnd - line.start));
    if (body.starts_with('[')) {
        body.remove_prefix(1);
        return {LineKind::Section, body.substr(0, body.find(']')), {}};
    }
    if (body.starts_with(';')) {
        return {};
    }
    const std::size_t equals = body.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    return {LineKind::Key, body.substr(0, equals), body.substr(equals + 1)};
}

// The lines [header, end) of the first section with the given name.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionSpan> findSection(std::string_view text, const std::vector<Line>& lines,
                                       std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(text, lines[i]);
        if (parsed.kind != LineKind::Section || !namesMatch(parsed.name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines.size() && parseLine(text, lines[end]).kind != LineKind::Section) {
            ++end;
        }
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(std::string_view text, const std::vector<Line>& lines,
                                   const SectionSpan& span, std::string_view key) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const ParsedLine parsed = parseLine(text, lines[i]);
        if (parsed.kind == LineKind::Key && namesMatch(parsed.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

// Where a new key line goes: after the section's last key line, so that comments and blank
// lines that lead into the next section stay in front of it.
std::size_t lastKeyLineOrHeader(std::string_view text, const std::vector<Line>& lines,
                                const SectionSpan& span) {
    std::size_t last = span.header;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (parseLine(text, lines[i]).kind == LineKind::Key) {
            last = i;
        }
    }
    return last;
}

std::int32_t parseLeadingInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // Kept one past the 32-bit range at most, so that the digits of any length cannot overflow.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        magnitude = std::min(magnitude * 10 + (s[i] - '0'), kLimit);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::optional<std::string_view> readProfileString(std::string_view text, std::string_view section,
                                                  std::string_view key) {
    const std::vector<Line> lines = splitLines(text);
    const std::optional<SectionSpan> span = findSection(text, lines, section);
    if (!span) {
        return std::nullopt;
    }
    const std::optional<std::size_t> keyLine = findKey(text, lines, *span, key);
    if (!keyLine) {
        return std::nullopt;
    }
    return trimBlanks(parseLine(text, lines[*keyLine]).value);
}

std::int32_t readProfileInt(std::string_view text, std::string_view section, std::string_view key,
                            std::int32_t defaultValue) {
    const std::optional<std::string_view> value = readProfileString(text, section, key);
    if (!value || value->empty()) {
        return defaultValue;
    }
    return parseLeadingInt(*value);
}

std::string writeProfileString(std::string_view text, std::string_view section,
                               std::string_view key, std::string_view value) {
    const std::string_view eol = lineEndingOf(text);
    const std::vector<Line> lines = splitLines(text);
    std::string keyLine;
    keyLine.append(key).append("=").append(value);

    std::string out;
    const std::optional<SectionSpan> span = findSection(text, lines, section);
    if (!span) {
        out.append(text);
        if (!lines.empty() && !lines.back().hasEnding()) {
            out.append(eol);
        }
        out.append("[").append(section).append("]").append(eol);
        out.append(keyLine).append(eol);
        return out;
    }

    if (const std::optional<std::size_t> existing = findKey(text, lines, *span, key)) {
        const Line& line = lines[*existing];
        out.append(text.substr(0, line.start));
        out.append(keyLine);
        out.append(text.substr(line.bodyEnd));
        return out;
    }

    const Line& before = lines[lastKeyLineOrHeader(text, lines, *span)];
    out.append(text.substr(0, before.end));
    if (!before.hasEnding()) {
        out.append(eol);
    }
    out.append(keyLine).append(eol);
    out.append(text.substr(before.end));
    return out;
}

}  // namespace mirelune
