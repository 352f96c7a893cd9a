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

# Workbooks in the Windows build: zlib, minizip and libxlsxwriter from
# Debian's source packages (unpacked by tools/workbook-sources), built as
# Debian builds them: libxlsxwriter with the separate minizip rather than
# the copy it bundles, but with its bundled MD5 in place of OpenSSL's.
set(ZANTOR_WORKBOOK_SOURCES "" CACHE PATH "zlib, minizip and libxlsxwriter sources to build instead of the system's")
if(ZANTOR_WORKBOOK_SOURCES)
    enable_language(C)
    set(zlib_dir ${ZANTOR_WORKBOOK_SOURCES}/zlib)
    add_library(zantor_zlib STATIC
        ${zlib_dir}/adler32.c ${zlib_dir}/compress.c ${zlib_dir}/crc32.c ${zlib_dir}/deflate.c
        ${zlib_dir}/infback.c ${zlib_dir}/inffast.c ${zlib_dir}/inflate.c ${zlib_dir}/inftrees.c
        ${zlib_dir}/trees.c ${zlib_dir}/uncompr.c ${zlib_dir}/zutil.c)
    target_include_directories(zantor_zlib PUBLIC ${zlib_dir})

    set(minizip_dir ${ZANTOR_WORKBOOK_SOURCES}/minizip)
    add_library(zantor_minizip STATIC ${minizip_dir}/ioapi.c ${minizip_dir}/unzip.c ${minizip_dir}/zip.c)
    target_compile_definitions(zantor_minizip PRIVATE NOCRYPT NOUNCRYPT)
    target_link_libraries(zantor_minizip PUBLIC zantor_zlib)

    set(xlsxwriter_dir ${ZANTOR_WORKBOOK_SOURCES}/libxlsxwriter)
    file(GLOB xlsxwriter_sources ${xlsxwriter_dir}/src/*.c)
    add_library(zantor_xlsxwriter STATIC ${xlsxwriter_sources} ${xlsxwriter_dir}/third_party/md5/md5.c
                                         ${xlsxwriter_dir}/third_party/tmpfileplus/tmpfileplus.c)
    target_include_directories(zantor_xlsxwriter PUBLIC ${xlsxwriter_dir}/include PRIVATE ${ZANTOR_WORKBOOK_SOURCES})
    target_compile_definitions(zantor_xlsxwriter PRIVATE USE_SYSTEM_MINIZIP NOCRYPT NOUNCRYPT)
    target_link_libraries(zantor_xlsxwriter PUBLIC zantor_minizip)
    foreach(library zantor_zlib zantor_minizip zantor_xlsxwriter)
        target_compile_options(${library} PRIVATE -w)  # not our code: its warnings are not ours to fix
    endforeach()

    set(MINIZIP_INCLUDE_DIR ${ZANTOR_WORKBOOK_SOURCES})
    set(MINIZIP_LIBRARY zantor_minizip)
    set(XLSXWRITER_INCLUDE_DIR ${xlsxwriter_dir}/include)
    set(XLSXWRITER_LIBRARY zantor_xlsxwriter)
endif()
