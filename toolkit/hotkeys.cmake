# Global hotkeys (GlobalHotkeys.h): XInput 2 raw key events, or a key grab, under X11; the
# desktop portal's GlobalShortcuts over D-Bus under Wayland. Included by toolkit/CMakeLists.txt.
find_package(Qt6 REQUIRED COMPONENTS Gui DBus)
find_package(PkgConfig REQUIRED)
pkg_check_modules(QUORVEL_XCB REQUIRED IMPORTED_TARGET xcb xcb-xinput)

add_library(quorvel_hotkeys STATIC
    ${CMAKE_CURRENT_LIST_DIR}/GlobalHotkeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GlobalHotkeysX11.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GlobalHotkeysPortal.cpp)
set_target_properties(quorvel_hotkeys PROPERTIES AUTOMOC ON)
target_include_directories(quorvel_hotkeys PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorvel_hotkeys
    PRIVATE Qt6::Gui Qt6::DBus PkgConfig::QUORVEL_XCB quorvel_warnings)
