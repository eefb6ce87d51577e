# i686 Windows: the release build; run by Wine's 32-bit loader where the
# kernel runs 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TAMRIX_TRIPLE i686-w64-mingw32)
set(TAMRIX_MANIFEST_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
