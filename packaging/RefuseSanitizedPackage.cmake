# SPDX-License-Identifier: MIT
# Run by CPack before it packs the staged files.
if(CPACK_TARVIK_SANITIZE)
  message(FATAL_ERROR "This build folder has TARVIK_SANITIZE=ON; build the package from a "
                      "normal one, e.g. -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_BUILD_TESTS=OFF")
endif()
