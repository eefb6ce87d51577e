# How the product is built: the libraries Tamrix.exe is made of and the
# program itself. Test programs link the same libraries, so they test what
# ships; their own translation units keep the preset's flags.

if(WIN32)
  # Test programs and tools run under Wine without any mingw DLL beside them.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # The headers state the Windows the programs are built for (7, as above),
  # so that an older one refuses them cleanly instead of missing an entry
  # point (the SRW lock needs Vista). Test programs carry the same, so that
  # they see the system as the clock does.
  add_link_options(-Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1
    -Wl,--major-os-version,6 -Wl,--minor-os-version,1)
endif()

# C-like C++: no exceptions, no RTTI, conversions warned.
set(TAMRIX_PRODUCT_OPTIONS -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
  -ffunction-sections -Wconversion -Wshadow)
if(WIN32)
  # Built for size, with link-time optimisation across the libraries. No
  # -fdata-sections: with it mingw GCC stores zero-initialised variables as
  # zeros in .data instead of in .bss (the 10 KiB alarm buffer among them);
  # the LTO link drops unused data by itself. Three passes that -Oz leaves on
  # cost more bytes than they save here (measured on x86_64: 112 together):
  # inlining small functions, shrink-wrapping and tail merging.
  list(APPEND TAMRIX_PRODUCT_OPTIONS -Oz -fno-inline-small-functions -fno-shrink-wrap -fno-tree-tail-merge)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The Windows i686 ABI keeps the stack 4-byte aligned; asking for 16
    # only costs alignment code in every function that has a frame.
    list(APPEND TAMRIX_PRODUCT_OPTIONS -mpreferred-stack-boundary=2)
    # Arguments pushed rather than stored into an area reserved in every
    # frame: a call of a Windows function takes far fewer bytes, about 2.7 KiB
    # less in all. GCC keeps the reserved area only while it probes large
    # frames, so probing goes too; no frame of the product comes near the 4 KiB
    # a probe guards (the executable check fails on one that does).
    list(APPEND TAMRIX_PRODUCT_OPTIONS -mno-accumulate-outgoing-args -mno-stack-arg-probe)
    # ld 2.40 names the COMDAT groups of i686 LTO code without the symbol
    # prefix, so a test program that defines an inline variable of a product
    # header too (WeekdayNames) fails with "multiple definition". On i686 the
    # product objects therefore also carry ordinary -Oz code, and every
    # program without LTO of its own (all but Tamrix.exe) links that code.
    list(APPEND TAMRIX_PRODUCT_OPTIONS -ffat-lto-objects)
    add_link_options($<$<NOT:$<BOOL:$<TARGET_PROPERTY:INTERPROCEDURAL_OPTIMIZATION>>>:-fno-lto>)
  endif()
  include(CheckIPOSupported)
  check_ipo_supported(RESULT TAMRIX_LTO OUTPUT lto_error LANGUAGES CXX)
  if(NOT TAMRIX_LTO)
    message(FATAL_ERROR "The product needs link-time optimisation: ${lto_error}")
  endif()
else()
  # The host build (unit tests, fuzz targets, benchmarks) keeps its preset's
  # optimisation and may use -fdata-sections.
  list(APPEND TAMRIX_PRODUCT_OPTIONS -fdata-sections)
endif()

# tamrix_library(<name> <sources>...): a product library. On Windows its
# objects carry LTO code (CMake makes the archive with gcc-ar), which every
# program that links it gets, x86_64 test programs included; test sources
# themselves are never compiled for LTO (GCC 12 fails on some of them).
function(tamrix_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${TAMRIX_PRODUCT_OPTIONS})
  if(WIN32)
    set_target_properties(${name} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
  endif()
endfunction()

# The msvcrt functions Tamrix.exe imports, for both processors. ld 2.40
# crashes in the LTO link when a call the compiler emits itself (memmove for
# a structure copy, strlen for a constant folded into a call) reaches a
# library function that was not pulled in before the LTO code was made;
# naming them all up front with -u avoids that. The build fails, naming the
# function, when the program imports one that is not listed here. A name
# listed is imported even when nothing calls it, so keep the list exact.
set(TAMRIX_MSVCRT_FUNCTIONS log10 memcmp memmove strcmp strlen)

# tamrix_program(<target> <entry>): build options of the shipped executable.
function(tamrix_program target entry)
  # No C run-time start-up: the program takes no arguments and ends with
  # ExitProcess. Symbols of i686 C functions carry a leading underscore.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(prefix _)
  else()
    set(prefix "")
  endif()
  target_compile_options(${target} PRIVATE ${TAMRIX_PRODUCT_OPTIONS})
  set_target_properties(${target} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
  # ASLR and DEP stated rather than left to the linker's defaults; no time
  # stamp, so that the same sources give the same bytes.
  set(options -Oz -nostartfiles -e ${prefix}${entry} -s -Wl,--gc-sections
    -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    list(APPEND options -Wl,--high-entropy-va)
  endif()
  foreach(function ${TAMRIX_MSVCRT_FUNCTIONS})
    list(APPEND options -Wl,-u,${prefix}${function})
  endforeach()
  target_link_options(${target} PRIVATE ${options})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${target}> -DOBJDUMP=${CMAKE_OBJDUMP}
            "-DLISTED=${TAMRIX_MSVCRT_FUNCTIONS}" -P ${PROJECT_SOURCE_DIR}/cmake/check-msvcrt.cmake
    VERBATIM)
endfunction()
