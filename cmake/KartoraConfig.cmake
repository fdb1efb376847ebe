# The one "project config" target that every Kartora target links: language
# level, warnings, floating-point contraction and Qt string hygiene.
add_library(kartora_config INTERFACE)
target_compile_features(kartora_config INTERFACE cxx_std_20)
target_include_directories(kartora_config INTERFACE ${PROJECT_SOURCE_DIR}/src)

# The code builds with GCC and Clang (their command-line syntax) and with
# MSVC; each gets its own spelling of the same flags.
set(kartora_gcc_like "$<CXX_COMPILER_ID:GNU,Clang,AppleClang>")
set(kartora_msvc "$<CXX_COMPILER_ID:MSVC>")

# The geodesy series and the converter's rounding rely on the exact operation
# order written in the code: exact ties exist downstream, so no fused
# multiply-add may change a result in its last bit (MSVC's /fp:precise
# stopped contracting with Visual Studio 2022).
target_compile_options(kartora_config INTERFACE
  "$<${kartora_gcc_like}:-Wall;-Wextra;-ffp-contract=off>"
  "$<${kartora_msvc}:/W4;/fp:precise>")
if(KARTORA_WERROR)
  target_compile_options(kartora_config INTERFACE "$<${kartora_gcc_like}:-Werror>" "$<${kartora_msvc}:/WX>")
endif()

# Byte text (Windows-1252 files) must be converted explicitly, never by an
# implicit QString conversion.
target_compile_definitions(kartora_config INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER)

# Everything compiled here, tests included, runs under the sanitizers. MSVC
# has AddressSanitizer only, and links its runtime without being asked.
if(KARTORA_SANITIZE)
  add_compile_options(
    "$<${kartora_gcc_like}:-fsanitize=address,undefined;-fno-sanitize-recover=undefined;-fno-omit-frame-pointer>"
    "$<${kartora_msvc}:/fsanitize=address>")
  add_link_options("$<${kartora_gcc_like}:-fsanitize=address,undefined>")
endif()

# The version that the programs show (the About box, kartora-cli --version),
# from project(): kartora_version.h defines KARTORA_VERSION as a string.
configure_file(${CMAKE_CURRENT_LIST_DIR}/kartora_version.h.in ${PROJECT_BINARY_DIR}/generated/kartora_version.h @ONLY)
add_library(kartora_version INTERFACE)
target_include_directories(kartora_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
