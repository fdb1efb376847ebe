# The one "project config" target that every Kartora target links: language
# level, warnings, floating-point contraction and Qt string hygiene.
add_library(kartora_config INTERFACE)
target_compile_features(kartora_config INTERFACE cxx_std_20)
target_include_directories(kartora_config INTERFACE ${PROJECT_SOURCE_DIR}/src)

# The geodesy series and the converter's rounding rely on the exact operation
# order written in the code: exact ties exist downstream, so no fused
# multiply-add may change a result in its last bit.
target_compile_options(kartora_config INTERFACE -Wall -Wextra -ffp-contract=off)
if(KARTORA_WERROR)
  target_compile_options(kartora_config INTERFACE -Werror)
endif()

# Byte text (Windows-1252 files) must be converted explicitly, never by an
# implicit QString conversion.
target_compile_definitions(kartora_config INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER)

if(KARTORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The version that the programs show (the About box, kartora-cli --version),
# from project(): kartora_version.h defines KARTORA_VERSION as a string.
configure_file(${CMAKE_CURRENT_LIST_DIR}/kartora_version.h.in ${PROJECT_BINARY_DIR}/generated/kartora_version.h @ONLY)
add_library(kartora_version INTERFACE)
target_include_directories(kartora_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
