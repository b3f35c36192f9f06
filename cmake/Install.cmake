# What `cmake --install` lays down and what CPack puts in the Debian package: both programs, the
# desktop entry and the icon in the hicolor theme's sizes.
include(GNUInstallDirs)

if(TARGET quillstar)
    install(TARGETS quillstar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/quillstar.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size IN ITEMS 16 24 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME quillstar.png)
    endforeach()
endif()
if(TARGET quillstar-server)
    install(TARGETS quillstar-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillstar)

set(CPACK_PACKAGE_NAME quillstar)
set(CPACK_PACKAGE_VENDOR "Quillstar")
set(CPACK_PACKAGE_CONTACT "Quillstar team <team@quillstar.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Spot-trading information client with live charts, signals and a simulated account")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "The desktop client of a dealer's spot-trading information service (precious metals, currency "
    "pairs, crude oil): live candlestick charts, pushed trading signals, price alerts and orders on "
    "a simulated account. Ships quillstar-server, a simulated dealer server for trying it out.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The library packages come from the programs' own links; the Qt platform and media plugins ship
# in libqt6gui6 and libqt6multimedia6, which those links already pull in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The interface is Chinese: without a CJK font its texts are empty boxes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")
include(CPack)
