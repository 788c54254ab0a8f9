# The zip a Windows user downloads: cmake --build --preset windows --target package
# It holds the program, the skin library and its file, RE\ with the note on which images go there
# (never images), the user guide and the licence.
install(TARGETS Quorlane RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:quorlane_skin> DESTINATION .)
install(FILES ${QUORLANE_SKIN_FILE} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/RE/说明.txt DESTINATION RE)
install(FILES ${PROJECT_SOURCE_DIR}/package/使用说明.txt ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QUORLANE_ARCH win64)
else()
  set(QUORLANE_ARCH win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quorlane)
set(CPACK_PACKAGE_VENDOR "The Quorlane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(QUORLANE_PACKAGE_NAME Quorlane-${PROJECT_VERSION}-${QUORLANE_ARCH})
set(CPACK_PACKAGE_FILE_NAME ${QUORLANE_PACKAGE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
