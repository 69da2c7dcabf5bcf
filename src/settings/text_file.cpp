#include "settings/text_file.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <fstream>

#include "common/ascii.h"

namespace mirelune {
namespace fs = std::filesystem;
namespace {

FileWriteResult failure(std::string message) {
    return {false, std::move(message)};
}

// A name beside the target that nothing uses yet. The clock only has to tell apart saves
// that overlap in time, and the existence check covers the rest.
std::optional<fs::path> unusedTemporaryPath(const fs::path& target) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[24] = {'.'};
        const char* end = std::to_chars(suffix + 1, std::end(suffix),
                                        static_cast<unsigned long long>(ticks) + attempt, 16)
                              .ptr;
        fs::path candidate = target;
        candidate += std::string_view(suffix, static_cast<std::size_t>(end - suffix));
        candidate += ".tmp";
        std::error_code ec;
        if (!fs::exists(candidate, ec) && !ec) {
            return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> readTextFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    // Read by chunks rather than trusting the size reported up front: the file may grow, and
    // some files report no size at all.
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxTextFileSize) {
            return std::nullopt;
        }
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return text;
}

FileWriteResult writeTextFileAtomically(const fs::path& target, std::string_view text) {
    const std::optional<fs::path> temporary = unusedTemporaryPath(target);
    if (!temporary) {
        return failure("no free temporary name beside " + target.string());
    }
    std::ofstream out(*temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
        return failure("cannot create " + temporary->string());
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    out.close();
    std::error_code ignored;
    if (!out) {
        fs::remove(*temporary, ignored);
        return failure("cannot write " + temporary->string());
    }
    std::error_code ec;
    fs::rename(*temporary, target, ec);
    if (ec) {
        fs::remove(*temporary, ignored);
        return failure("cannot replace " + target.string() + ": " + ec.message());
    }
    return {true, {}};
}

bool ensureDirectory(const fs::path& directory) {
    std::error_code ec;
    fs::create_directories(directory, ec);
    return fs::is_directory(directory, ec);
}

fs::path findEntryIgnoringCase(const fs::path& directory, std::string_view name) {
    std::optional<fs::path> chosen;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        fs::path entryName = it->path().filename();
        // Compared as UTF-8 bytes, which any entry name converts to without failing.
        const std::u8string bytes = entryName.u8string();
        if (!equalsIgnoringAsciiCase({reinterpret_cast<const char*>(bytes.data()), bytes.size()},
                                     name)) {
            continue;
        }
        if (!chosen || entryName < *chosen) {
            chosen = std::move(entryName);
        }
    }
    return directory / chosen.value_or(fs::path(name));
}

}  // namespace mirelune
