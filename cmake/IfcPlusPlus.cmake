# IFC++ (Debian libifcplusplus-dev; its headers need libboost-dev), an
# independent IFC reader: the benchmarks measure against it and the tests read
# the files we write with it. Optional: IfcPlusPlus_FOUND tells whether the
# target IfcPlusPlus::IfcPlusPlus exists; IFCPP_LIB_DIR is where the library
# lives (it is installed outside the linker's paths, so programs need an rpath).
find_library(IFCPP_LIB IfcPlusPlus PATHS /usr/lib/ifcplusplus NO_DEFAULT_PATH)
find_path(IFCPP_INCLUDE_DIR ifcpp/reader/ReaderSTEP.h)
find_package(Boost QUIET)
if(IFCPP_LIB AND IFCPP_INCLUDE_DIR AND Boost_FOUND)
  set(IfcPlusPlus_FOUND TRUE)
  get_filename_component(IFCPP_LIB_DIR "${IFCPP_LIB}" DIRECTORY)
  if(NOT TARGET IfcPlusPlus::IfcPlusPlus)
    add_library(IfcPlusPlus::IfcPlusPlus SHARED IMPORTED)
    set_target_properties(IfcPlusPlus::IfcPlusPlus PROPERTIES
      IMPORTED_LOCATION "${IFCPP_LIB}"
      INTERFACE_INCLUDE_DIRECTORIES "${IFCPP_INCLUDE_DIR};${Boost_INCLUDE_DIRS}")
  endif()
else()
  set(IfcPlusPlus_FOUND FALSE)
endif()
