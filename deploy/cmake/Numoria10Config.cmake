# CMake package of a Numoria10 dist folder:
#   find_package(Numoria10 REQUIRED)   (Numoria10_DIR = <dist folder>/cmake)
#   target_link_libraries(app PRIVATE Numoria10::numori10)
# gives numori10.h (interfaces, the Matrix struct, identifiers usable with
# __uuidof), the definitions of its LIBID_/IID_/CLSID_ identifiers, and the
# system libraries a host links. numori10.dll itself is loaded at run time
# through COM (registered, or through the dist folder's manifests).
get_filename_component(_numoria10_dist "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT TARGET Numoria10::numori10)
    add_library(Numoria10::numori10 INTERFACE IMPORTED)
    set_target_properties(Numoria10::numori10 PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${_numoria10_dist}"
        INTERFACE_SOURCES "${CMAKE_CURRENT_LIST_DIR}/numori10_identifiers.cpp"
        INTERFACE_LINK_LIBRARIES "ole32;oleaut32;uuid")
endif()
set(Numoria10_DLL "${_numoria10_dist}/numori10.dll")
unset(_numoria10_dist)
