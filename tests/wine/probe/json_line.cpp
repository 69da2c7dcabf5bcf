#include "json_line.h"

#include <windows.h>

#include <cmath>
#include <cstdio>

namespace probe {

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

std::string jsonString(std::string_view utf8Text) {
    std::string out = "\"";
    for (const char c : utf8Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

JsonObject& JsonObject::add(std::string_view key, double value) {
    if (!std::isfinite(value)) return null(key);
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return raw(key, text);
}

JsonObject& JsonObject::add(std::string_view key, const std::vector<JsonObject>& items) {
    std::string list = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i != 0) list += ",";
        list += items[i].str();
    }
    return raw(key, list + "]");
}

JsonObject& JsonObject::add(std::string_view key, const std::vector<long long>& numbers) {
    std::string list = "[";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i != 0) list += ",";
        list += std::to_string(numbers[i]);
    }
    return raw(key, list + "]");
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view value) {
    if (!body_.empty()) body_ += ",";
    body_ += jsonString(key);
    body_ += ":";
    body_ += value;
    return *this;
}

void JsonObject::print() const {
    const std::string line = str() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace probe
