# MinGW-w64 i686 build: the programs, Trevasol.dll, the Win32 toolkit and
# platform, and every test that runs under Wine.
set(VX_JPEG_PREFIX "$ENV{HOME}/.cache/vx-build/libjpeg-mingw-${CMAKE_SYSTEM_PROCESSOR}" CACHE PATH "MinGW static libjpeg")
add_library(vx_jpeg STATIC IMPORTED)
set_target_properties(vx_jpeg PROPERTIES IMPORTED_LOCATION ${VX_JPEG_PREFIX}/lib/libjpeg.a
                      INTERFACE_INCLUDE_DIRECTORIES ${VX_JPEG_PREFIX}/include)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800 NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++)

# The external sender, shipped as our own Trevasol.dll: saljihttp exported
# under its plain name with __stdcall.
file(GLOB TREVASOL_SRC CONFIGURE_DEPENDS ${VX_ROOT}/src/trevasol/*.cpp)
# i686 decorates __stdcall names (saljihttp@20); x86_64 has one convention.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TREVASOL_EXPORT "saljihttp@20")
  set(DLLTOOL i686-w64-mingw32-dlltool)
else()
  set(TREVASOL_EXPORT "saljihttp")
  set(DLLTOOL x86_64-w64-mingw32-dlltool)
endif()
set(TREVASOL_DEF ${CMAKE_BINARY_DIR}/trevasol.def)
file(WRITE ${TREVASOL_DEF} "LIBRARY Trevasol.dll\nEXPORTS\n    ${TREVASOL_EXPORT}\n")
add_library(Trevasol SHARED ${TREVASOL_SRC} ${TREVASOL_DEF})
set_target_properties(Trevasol PROPERTIES PREFIX "" OUTPUT_NAME Trevasol)
target_compile_definitions(Trevasol PRIVATE TREVASOL_BUILD)
target_include_directories(Trevasol PRIVATE ${VX_ROOT}/src)
target_link_options(Trevasol PRIVATE -Wl,--kill-at)
target_link_libraries(Trevasol PRIVATE winhttp)
# The programs import saljihttp@20 by its plain name: an import library made
# from the .def with the decoration killed in the import name only.
set(TREVASOL_IMPLIB ${CMAKE_BINARY_DIR}/libtrevasol_import.a)
add_custom_command(OUTPUT ${TREVASOL_IMPLIB}
  COMMAND ${DLLTOOL} -d ${TREVASOL_DEF} -D Trevasol.dll -k -l ${TREVASOL_IMPLIB}
  DEPENDS ${TREVASOL_DEF})
add_custom_target(trevasol_import DEPENDS ${TREVASOL_IMPLIB} Trevasol)
add_library(trevasol_imp STATIC IMPORTED)
set_target_properties(trevasol_imp PROPERTIES IMPORTED_LOCATION ${TREVASOL_IMPLIB})
add_dependencies(trevasol_imp trevasol_import)

# The Win32 side: platform seams and toolkit.
file(GLOB WIN32_SRC CONFIGURE_DEPENDS ${VX_ROOT}/src/platform/win32/*.cpp ${VX_ROOT}/src/ui/win32/*.cpp)
vx_win32_sources(WIN32_SHARED_SRC shared)
add_library(vx_win32 STATIC ${WIN32_SRC} ${WIN32_SHARED_SRC})
target_link_libraries(vx_win32 PUBLIC vx_core trevasol_imp vx_jpeg comctl32 gdi32 user32
                      uuid shell32 msimg32 uxtheme)

# Resources (icons, bitmaps, the title picture, manifest) per program.
set(VX_RES ${VX_ROOT}/resources)
vx_win32_sources(CONSOLE_WIN32_SRC console)
add_executable(Morventa WIN32 ${CONSOLE_WIN32_SRC} ${VX_RES}/morventa.rc)
target_link_libraries(Morventa PRIVATE vx_console vx_win32)
vx_win32_sources(REPORTER_WIN32_SRC reporter)
add_executable(Zilvara WIN32 ${REPORTER_WIN32_SRC} ${VX_RES}/zilvara.rc)
target_link_libraries(Zilvara PRIVATE vx_reporter vx_win32)
# Changed art must rebuild the resources, not only a changed manifest.
file(GLOB VX_ART CONFIGURE_DEPENDS ${VX_RES}/art/*)
set_source_files_properties(${VX_RES}/morventa.rc ${VX_RES}/zilvara.rc PROPERTIES
                            OBJECT_DEPENDS "${VX_RES}/manifest.xml;${VX_ART}")

# --- tests under Wine ---
set(VX_WINE ${VX_ROOT}/scripts/winerun)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VX_WINE})

add_test(NAME wine_up COMMAND ${VX_ROOT}/scripts/wine-up)
set_tests_properties(wine_up PROPERTIES FIXTURES_SETUP wine)
add_test(NAME wine_down COMMAND ${VX_ROOT}/scripts/wine-down)
set_tests_properties(wine_down PROPERTIES FIXTURES_CLEANUP wine)

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Small programs the Wine tests start as separate processes.
file(GLOB WINE_PROGS CONFIGURE_DEPENDS ${VX_ROOT}/tests/wine/progs/*.cpp)
foreach(src ${WINE_PROGS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  # A probe that needs pictures or icons has a resource script beside it.
  if(EXISTS ${VX_ROOT}/tests/wine/progs/${name}.rc)
    target_sources(${name} PRIVATE ${VX_ROOT}/tests/wine/progs/${name}.rc)
  endif()
  target_link_libraries(${name} PRIVATE vx_console vx_reporter vx_win32)
  list(APPEND WINE_PROG_TARGETS ${name})
endforeach()

file(GLOB WINE_TEST_SRC CONFIGURE_DEPENDS ${VX_ROOT}/tests/wine/*.cpp)
add_executable(wine_tests ${WINE_TEST_SRC} ${VX_ROOT}/tests/wine/pictures.rc)
target_link_libraries(wine_tests PRIVATE vx_console vx_reporter vx_win32 GTest::gtest_main winhttp ws2_32 oleacc ole32 oleaut32)
target_compile_definitions(wine_tests PRIVATE VX_TEST_DATA="${VX_ROOT}/tests/data")
if(WINE_PROG_TARGETS)
  add_dependencies(wine_tests ${WINE_PROG_TARGETS} Trevasol)
endif()
gtest_discover_tests(wine_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     PROPERTIES FIXTURES_REQUIRED wine LABELS wine RESOURCE_LOCK desktop TIMEOUT 240
                     ENVIRONMENT "VX_BIN=${CMAKE_BINARY_DIR}/bin")
# Every Wine test shares one display, one foreground window and the focus:
# they run one at a time (RESOURCE_LOCK desktop), as the end-to-end ones do.
# The message boxes once more under a Croatian desktop, where Wine draws its
# own labels in Croatian ("U redu", "&Da"): the boxes must carry ours. LC_ALL
# gives Wine the language even where the C library lacks the hr_HR locale.
add_test(NAME Win32ToolkitTest.MessageBoxes.hr_HR
         COMMAND ${VX_WINE} $<TARGET_FILE:wine_tests> --gtest_filter=Win32ToolkitTest.MessageBox*:Win32ToolkitTest.CopyableMessage*)
set_tests_properties(Win32ToolkitTest.MessageBoxes.hr_HR PROPERTIES FIXTURES_REQUIRED wine LABELS wine
                     RESOURCE_LOCK desktop TIMEOUT 240
                     ENVIRONMENT "VX_BIN=${CMAKE_BINARY_DIR}/bin;LANG=hr_HR.UTF-8;LC_ALL=hr_HR.UTF-8;VX_UI_LANGUAGE=041A")

# End-to-end: stub programs that record their command line, the driver that
# works windows from another process, and the Python scenarios.
set(VX_STUBS Tkill winvnc vncviewer Write chrome)
foreach(stub ${VX_STUBS})
  add_executable(stub_${stub} ${VX_ROOT}/tests/e2e/stubs/stub.cpp)
  set_target_properties(stub_${stub} PROPERTIES OUTPUT_NAME ${stub} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stubs)
endforeach()
file(GLOB DRIVER_SRC CONFIGURE_DEPENDS ${VX_ROOT}/tests/e2e/driver/*.cpp)
if(DRIVER_SRC)
  add_executable(vxdrive ${DRIVER_SRC})
  target_link_libraries(vxdrive PRIVATE user32 gdi32 oleacc ole32 oleaut32 uuid)
  target_include_directories(vxdrive PRIVATE ${VX_ROOT}/src)
endif()

file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${VX_ROOT}/tests/e2e/test_*.py)
foreach(t ${E2E_TESTS})
  get_filename_component(name ${t} NAME_WE)
  add_test(NAME e2e_${name} COMMAND python3 ${t})
  set_tests_properties(e2e_${name} PROPERTIES FIXTURES_REQUIRED wine LABELS e2e RESOURCE_LOCK desktop
                       TIMEOUT 600 ENVIRONMENT "VX_BIN=${CMAKE_BINARY_DIR}/bin;VX_STUBS=${CMAKE_BINARY_DIR}/stubs;PYTHONPATH=${VX_ROOT}/tests/e2e")
endforeach()

# What a user gets carries no debug sections: the programs and Trevasol.dll
# are stripped, their symbols kept beside them (NAME.debug, named by the
# file's debug link) for reading crash reports. Test programs keep theirs.
set(VX_SHIPPED Morventa Zilvara Trevasol)
foreach(shipped ${VX_SHIPPED})
  add_custom_command(TARGET ${shipped} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${shipped}> $<TARGET_FILE_NAME:${shipped}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE_NAME:${shipped}>.debug
            $<TARGET_FILE_NAME:${shipped}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${shipped}>
    VERBATIM)
  add_test(NAME shipped_${shipped}_is_stripped
           COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DFILE=$<TARGET_FILE:${shipped}>
                   -P ${VX_ROOT}/cmake/check_stripped.cmake)
endforeach()
