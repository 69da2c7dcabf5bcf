// One JSON object written as one line on stdout: the probe's only output format, read by the
// test harness line by line.
#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <vector>

namespace probe {

std::string utf8(std::wstring_view text);
std::string jsonString(std::string_view utf8Text);

class JsonObject {
  public:
    template <std::integral T>
    requires(!std::same_as<T, bool>) JsonObject& add(std::string_view key, T value) {
        return raw(key, std::to_string(value));
    }
    JsonObject& add(std::string_view key, bool value) { return raw(key, value ? "true" : "false"); }
    JsonObject& add(std::string_view key, double value);
    JsonObject& add(std::string_view key, std::string_view utf8Text) {
        return raw(key, jsonString(utf8Text));
    }
    JsonObject& add(std::string_view key, const char* utf8Text) {
        return add(key, std::string_view(utf8Text));
    }
    JsonObject& add(std::string_view key, std::wstring_view text) {
        return raw(key, jsonString(utf8(text)));
    }
    JsonObject& add(std::string_view key, const wchar_t* text) {
        return add(key, std::wstring_view(text));
    }
    JsonObject& add(std::string_view key, const JsonObject& nested) {
        return raw(key, nested.str());
    }
    JsonObject& add(std::string_view key, const std::vector<JsonObject>& items);
    JsonObject& add(std::string_view key, const std::vector<long long>& numbers);
    JsonObject& null(std::string_view key) { return raw(key, "null"); }
    // value must already be valid JSON text
    JsonObject& raw(std::string_view key, std::string_view value);

    std::string str() const { return "{" + body_ + "}"; }
    // Writes the object and a newline to stdout and flushes, so that a harness reading the pipe
    // sees each line as soon as it is known.
    void print() const;

  private:
    std::string body_;
};

}  // namespace probe
