# Runs at install time, when the prefix is known: the files that name the
# installed programs by their paths. VELMORA_PACKAGING and VELMORA_PROJECT_VERSION
# are set by the install step before this script.
set(BINDIR ${CMAKE_INSTALL_PREFIX}/bin)
set(VELPKG ${BINDIR}/velpkg)
set(VELCTL ${BINDIR}/velctl)
set(PACKAGE ${CMAKE_INSTALL_PREFIX}/share/velmora/Velmora.vpk)
set(PROJECT_VERSION ${VELMORA_PROJECT_VERSION})
# Autostart entries are read from /etc/xdg; a private prefix keeps its own.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr" OR CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
  set(autostart /etc/xdg/autostart)
else()
  set(autostart ${CMAKE_INSTALL_PREFIX}/etc/xdg/autostart)
endif()

# Installs into several prefixes may run at once (the tests do): each
# prefix's files are made in a folder of their own.
string(MD5 place "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(made ${VELMORA_PACKAGING_BUILD}/host-${place})
file(MAKE_DIRECTORY ${made})
configure_file(${VELMORA_PACKAGING}/velmora.in ${made}/velmora @ONLY)
configure_file(${VELMORA_PACKAGING}/velmora.desktop.in ${made}/velmora.desktop @ONLY)
configure_file(${VELMORA_PACKAGING}/velmora-notifyd.service.in ${made}/velmora-notifyd.service @ONLY)
configure_file(${VELMORA_PACKAGING}/velmora-notifyd.desktop.in ${made}/velmora-notifyd.desktop @ONLY)

file(INSTALL ${made}/velmora DESTINATION ${BINDIR}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(INSTALL ${made}/velmora.desktop DESTINATION ${CMAKE_INSTALL_PREFIX}/share/applications)
file(INSTALL ${made}/velmora-notifyd.service DESTINATION ${CMAKE_INSTALL_PREFIX}/lib/systemd/user)
file(INSTALL ${made}/velmora-notifyd.desktop DESTINATION ${autostart})
