# tq_component_metadata(TARGET JSON_TEMPLATE FROM file...): the component's plugin metadata,
# written from JSON_TEMPLATE at build time with @TONQUILL_COMPONENT_BUILD@ filled in: the
# program's version and a hash of the files the component is built from (sorted by their
# path in the source tree, so every checkout of the same code gets the same value). The
# installer compares it between the program folder's copy and the system folder's, so a
# component changed without a new interface version still reaches the system folder.
function(tq_component_metadata target template)
    cmake_parse_arguments(C "" "" "FROM" ${ARGN})
    get_filename_component(name ${template} NAME_WLE)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}_metadata)
    set(out ${folder}/${name})
    set(script ${PROJECT_SOURCE_DIR}/cmake/WriteComponentMetadata.cmake)
    # A list would be split into arguments on its way to the script.
    string(REPLACE ";" "|" files "${C_FROM}")
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${template} -DOUTPUT=${out}
            -DVERSION=${PROJECT_VERSION} -DROOT=${PROJECT_SOURCE_DIR} -DFILES=${files}
            -P ${script}
        DEPENDS ${template} ${C_FROM} ${script}
        COMMENT "Build identity of ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE ${out})
    # moc looks for the FILE of Q_PLUGIN_METADATA beside the source, then on the include path.
    target_include_directories(${target} PRIVATE ${folder})
    set_property(TARGET ${target} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS ${out})
endfunction()
