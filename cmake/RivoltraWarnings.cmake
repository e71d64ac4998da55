# The project's compiler warnings, the same in every build (Linux, the browser, Windows), for the
# project's own code only; RIVOLTRA_WERROR (on in CI) makes them errors.
option(RIVOLTRA_WERROR "Treat the project's compiler warnings as errors (CI builds)" OFF)
add_library(rivoltra_warnings INTERFACE)
target_compile_options(rivoltra_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
  -Wno-sign-conversion -Wnon-virtual-dtor -Woverloaded-virtual)
if(RIVOLTRA_WERROR)
  target_compile_options(rivoltra_warnings INTERFACE -Werror)
endif()
