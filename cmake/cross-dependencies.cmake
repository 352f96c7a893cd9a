# The Windows cross build cannot link the Linux TinyXML and GoogleTest: it
# builds TinyXML from Debian's patched sources (unpacked by
# tools/tinyxml-source) and GoogleTest from Debian's googletest sources.
if(ZANTOR_TINYXML_SOURCE)
    add_library(tinyxml STATIC
        ${ZANTOR_TINYXML_SOURCE}/tinystr.cpp
        ${ZANTOR_TINYXML_SOURCE}/tinyxml.cpp
        ${ZANTOR_TINYXML_SOURCE}/tinyxmlerror.cpp
        ${ZANTOR_TINYXML_SOURCE}/tinyxmlparser.cpp)
    target_compile_options(tinyxml PRIVATE -w)  # not our code: its warnings are not ours to fix
    set(TINYXML_INCLUDE_DIR ${ZANTOR_TINYXML_SOURCE})
    set(TINYXML_LIBRARY tinyxml)
endif()

if(ZANTOR_GTEST_SOURCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    # Defines GTest::gtest and GTest::gtest_main, as find_package(GTest) does.
    add_subdirectory(${ZANTOR_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
