# Warning flags for the project's own targets (not for GoogleTest's): link ovk_warnings.
add_library(ovk_warnings INTERFACE)
target_compile_options(ovk_warnings INTERFACE
    -Wall -Wextra
    # A pointer squeezed into a 32-bit integer, or an integer widened into a pointer, is a
    # 64-bit fault waiting to happen: make both hard errors.
    $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast>
    -Werror=int-to-pointer-cast
    $<$<BOOL:${OVK_WERROR}>:-Werror>)
