// Text in the system's own wide form, and back. The program's texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace mirelune::windows {

std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace mirelune::windows
