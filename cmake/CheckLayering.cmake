# The layering check: cmake -DROOT=<source tree> -P CheckLayering.cmake
#
# Every library may include headers of its own folder and of the folders below it, never
# of one above. A file under src/ writes its includes rooted at src/ ("core/model/Json.h");
# tests under tests/<folder> follow the rule of src/<folder>. Fails with one line per
# offending include.

# Each folder and what its files may include, lowest first.
set(core_model    core/model)
set(core_shapes   ${core_model} core/shapes)
set(core_document ${core_shapes} core/document)
set(core_render   ${core_document} core/render)
set(core_imaging  ${core_render} core/imaging)
set(core_analysis ${core_imaging} core/analysis)
set(core_formats  ${core_imaging} core/formats)
set(core_all      ${core_analysis} core/formats)
# The platform layer serves the application and knows nothing of it.
set(platform      ${core_all} platform)
set(app_support   ${platform} app/support)
set(app_editor    ${app_support} app/editor)
set(app_capture   ${app_support} app/capture)
# The settings pages show the palette with the editor's swatches.
set(app_settings  ${app_editor} app/settings)
set(app_shell     ${app_editor} app/capture app/settings app/shell)
set(app_main      ${app_shell})
set(layers core/model core/shapes core/document core/render core/imaging core/analysis
    core/formats platform app/support app/editor app/capture app/settings app/shell)

if(NOT ROOT)
    message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P CheckLayering.cmake")
endif()

function(layer_of relative out)
    set(found "")
    foreach(layer IN LISTS layers)
        string(LENGTH "${layer}/" length)
        string(SUBSTRING "${relative}" 0 ${length} head)
        if(head STREQUAL "${layer}/")
            set(found ${layer})
        endif()
    endforeach()
    if(NOT found AND relative MATCHES "^app/[^/]+$")
        set(found app/main)
    endif()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(faults "")
foreach(top src tests)
    file(GLOB_RECURSE files RELATIVE ${ROOT}/${top} ${ROOT}/${top}/*.h ${ROOT}/${top}/*.cpp)
    foreach(file IN LISTS files)
        layer_of("${file}" layer)
        if(NOT layer)
            continue()
        endif()
        string(REPLACE "/" "_" variable "${layer}")
        set(allowed ${${variable}})
        file(STRINGS ${ROOT}/${top}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
            layer_of("${header}" target)
            if(target)
                list(FIND allowed ${target} index)
                if(index EQUAL -1)
                    string(APPEND faults "${top}/${file}: ${layer} may not include ${header}\n")
                endif()
            # "X.moc" is the meta-object code moc writes for the classes of X.cpp itself.
            elseif(top STREQUAL "src" AND NOT header MATCHES "^(core|platform|app)/" AND NOT header MATCHES "\\.moc$")
                string(APPEND faults "${top}/${file}: include \"${header}\" is not rooted at src/\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Includes against the layering:\n${faults}")
endif()
message(STATUS "Layering: every include points down")
