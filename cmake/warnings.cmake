# mirelune_warnings: the warnings every target of this project is built with, as errors.
# Targets link it PRIVATE, so that nothing outside them inherits the rules.
add_library(mirelune_warnings INTERFACE)
target_compile_options(mirelune_warnings INTERFACE -Wall -Wextra -Werror)
