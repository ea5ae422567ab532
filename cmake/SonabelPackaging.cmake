# The Debian package: `cpack -G DEB` in a build folder makes corvane-sonabel_VERSION_ARCH.deb
# of everything `cmake --install` puts in place, under /usr.
#
# The libraries the programs link come from dpkg-shlibdeps (it needs `file` and dpkg-dev).
# What is only opened at run time is named by hand:
#   fonts-urw-base35, fonts-dejavu-extra  the families the window's fonts map to (Nimbus Sans,
#                                         DejaVu Sans Condensed)
#   ifuse, fuse3                          the mount helper mounts the phone with ifuse and
#                                         unmounts it with fusermount3
#   qt6-qpa-plugins                       Qt's display plugins (xcb, wayland, offscreen)
#   libqt6svg6                            the SVG icon engine and image plugin the icons are
#                                         read with; PNG and JPEG are read by QtGui itself
# The Groove Box's General MIDI sound font ships inside the package, packed
# (VyRingtoneSample.sf2pack), so the font's own package is needed only to build.

set(CPACK_PACKAGE_NAME corvane-sonabel)
set(CPACK_PACKAGE_VENDOR "Corvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make phone ringtones from any audio or video file")
# One paragraph, in lines short enough for the package's control file.
set(CPACK_PACKAGE_DESCRIPTION "Corvane Sonabel turns a part of any song or video into a ringtone:\n\
choose 5 to 60 seconds on its waveform, add fades and volume, hear it as the\n\
phone will ring it, and save it as an AAC .m4r ringtone, file it in the\n\
ringtone library folder or copy it onto a connected iPhone. With a recorder,\n\
a drum pattern Groove Box, a trim tool and the sonabel command line.")
set(CPACK_PACKAGE_CONTACT "Corvane Sonabel developers <sonabel@corvane.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-urw-base35, fonts-dejavu-extra, ifuse, fuse3, qt6-qpa-plugins, libqt6svg6")
# usbmuxd tells the mount helper that a phone came; without it the rest still works.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "usbmuxd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
