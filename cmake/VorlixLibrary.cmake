# vorlix_library(<target> SOURCES ...): a static library over the folder it is declared in.
#
# Headers are included by their path under src/ ("core/model/DocumentModel.h"), but a
# library exports only its own folder: the include root it publishes is a folder of the
# build tree that holds a link to this one folder alone. A file can therefore include only
# headers of libraries it links, and the layering check (cmake/CheckLayering.cmake) says
# which links are allowed.
function(vorlix_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    set(root ${CMAKE_BINARY_DIR}/include/${name})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    target_include_directories(${name} PUBLIC ${root})
endfunction()
