# GoogleTest and GoogleMock for the Windows target, compiled from the sources
# Debian's `googletest` package installs (no prebuilt host libraries can link
# into a mingw program). Static libraries, built only when a test needs them.
#
# Targets: gtest, gtest_main, gmock, gmock_main (and GTest:: aliases).

set(TESSEL_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${TESSEL_GOOGLETEST_DIR}/googletest/src/gtest-all.cc")
  message(FATAL_ERROR
    "GoogleTest sources not found in ${TESSEL_GOOGLETEST_DIR} "
    "(Debian package `googletest`; scripts/test installs it)")
endif()

set(_tessel_gtest_root "${TESSEL_GOOGLETEST_DIR}/googletest")
set(_tessel_gmock_root "${TESSEL_GOOGLETEST_DIR}/googlemock")

# Third-party code: the project's -Werror applies to our code, not to theirs.
# Their headers are SYSTEM includes, so warnings inside them do not fail the
# test sources that include them either.
function(_tessel_third_party target)
  target_compile_options(${target} PRIVATE -w)
  set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL TRUE)
endfunction()

add_library(gtest STATIC "${_tessel_gtest_root}/src/gtest-all.cc")
target_include_directories(gtest SYSTEM PUBLIC "${_tessel_gtest_root}/include")
target_include_directories(gtest PRIVATE "${_tessel_gtest_root}")
_tessel_third_party(gtest)

add_library(gtest_main STATIC "${_tessel_gtest_root}/src/gtest_main.cc")
target_link_libraries(gtest_main PUBLIC gtest)
_tessel_third_party(gtest_main)

add_library(gmock STATIC "${_tessel_gmock_root}/src/gmock-all.cc")
target_include_directories(gmock SYSTEM PUBLIC "${_tessel_gmock_root}/include")
target_include_directories(gmock PRIVATE "${_tessel_gmock_root}")
target_link_libraries(gmock PUBLIC gtest)
_tessel_third_party(gmock)

add_library(gmock_main STATIC "${_tessel_gmock_root}/src/gmock_main.cc")
target_link_libraries(gmock_main PUBLIC gmock)
_tessel_third_party(gmock_main)

add_library(GTest::gtest ALIAS gtest)
add_library(GTest::gtest_main ALIAS gtest_main)
add_library(GTest::gmock ALIAS gmock)
add_library(GTest::gmock_main ALIAS gmock_main)

unset(_tessel_gtest_root)
unset(_tessel_gmock_root)
