# x86_64 Windows, run by Wine's 64-bit loader.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAMRIX_TRIPLE x86_64-w64-mingw32)
set(TAMRIX_MANIFEST_ARCH amd64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
