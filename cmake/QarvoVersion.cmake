# The version resource: compiled from VERSIONINFO syntax by a real resource compiler, windres,
# and carried by an executable in an ELF section of its own, where the version service reads
# it. windres runs without a preprocessor (--preprocessor=cat), so the .rc files hold no
# comments and no #include or #define.

find_program(QARVO_WINDRES NAMES x86_64-w64-mingw32-windres windres REQUIRED)
set(QARVO_VERSION_SECTION .qarvo_version)
set(QARVO_VERSION_BIN ${CMAKE_BINARY_DIR}/resources/qarvo_version.bin)

# qarvo_compile_version(<rc> <bin>): bin := the VS_VERSIONINFO bytes of rc's version resource.
# A target of the calling folder must depend on bin.
function(qarvo_compile_version rc bin)
    get_filename_component(name ${bin} NAME_WE)
    get_filename_component(folder ${bin} DIRECTORY)
    set(res ${folder}/${name}.res)
    add_custom_command(
        OUTPUT ${bin}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${QARVO_WINDRES} --preprocessor=cat -O res ${rc} ${res}
        COMMAND qarvo-resextract ${res} ${bin}
        DEPENDS ${rc} qarvo-resextract
        COMMENT "Compiling the version resource ${name}"
        VERBATIM
    )
endfunction()

# The program's own resource, built once for every executable that carries it.
qarvo_compile_version(${CMAKE_SOURCE_DIR}/resources/qarvo.rc ${QARVO_VERSION_BIN})
add_custom_target(qarvo_version_resource DEPENDS ${QARVO_VERSION_BIN})

# qarvo_embed_version(<target>): the executable target carries the program's own resource,
# and is relinked when it changes.
function(qarvo_embed_version target)
    add_dependencies(${target} qarvo_version_resource)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QARVO_VERSION_BIN})
    add_custom_command(
        TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --add-section ${QARVO_VERSION_SECTION}=${QARVO_VERSION_BIN}
                --set-section-flags ${QARVO_VERSION_SECTION}=contents,readonly
                $<TARGET_FILE:${target}>
        VERBATIM
    )
endfunction()

# qarvo_version_elf(<rc> <elf>), for tests: elf := a copy of an executable that carries rc's
# version resource. A target of the calling folder must depend on elf.
function(qarvo_version_elf rc elf)
    get_filename_component(name ${elf} NAME_WE)
    get_filename_component(folder ${elf} DIRECTORY)
    set(bin ${folder}/${name}.bin)
    qarvo_compile_version(${rc} ${bin})
    add_custom_command(
        OUTPUT ${elf}
        COMMAND ${CMAKE_OBJCOPY} --add-section ${QARVO_VERSION_SECTION}=${bin}
                --set-section-flags ${QARVO_VERSION_SECTION}=contents,readonly
                $<TARGET_FILE:qarvo-resextract> ${elf}
        DEPENDS ${bin} qarvo-resextract
        VERBATIM
    )
endfunction()
