# Read by cpack for each generator: each package takes its own install components.
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL program debian)
elseif(CPACK_GENERATOR STREQUAL "TGZ")
    set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
    # The portable folder unpacks as one folder, not loose files.
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_ARCHIVE_FILE_NAME})
    set(CPACK_COMPONENTS_ALL portable)
endif()
