# The side-by-side assembly manifest of TesselControl.dll, for registration-
# free use: TesselControl.X.manifest beside the DLL. Its identifiers come
# from the interface header that tlbgen generates from the type library's
# table, so the manifest and the DLL cannot name different classes.
#
#   tessel_add_assembly_manifest(<dll target>)
#     Writes <bin>/TesselControl.X.manifest whenever the header or the
#     template changes; target tessel_manifest builds it.
#
# Run as a script (cmake -P) it does the writing:
#   -DHEADER=<tessel_interfaces.h> -DTEMPLATE=<manifest.in> -DOUTPUT=<manifest>
#   -DPROCESSOR=amd64|x86 -DVERSION=<a.b.c.d>

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${HEADER}" header)
  set(hex "([0-9A-F]+)")
  set(byte "0x[0-9A-F][0-9A-F]")
  set(bytes "(${byte}, ${byte}, ${byte}, ${byte}, ${byte}, ${byte}, ${byte}, ${byte})")
  foreach(name LIBID_QuonTessel CLSID_TesselControl CLSID_Register CLSID_Allgemein CLSID_TabsC)
    # inline constexpr GUID NAME = {0x..., 0x..., 0x..., {0x.., ... 8 bytes}};
    string(REGEX MATCH "GUID ${name} = [{]0x${hex}, 0x${hex}, 0x${hex}, [{]${bytes}[}][}]"
           found "${header}")
    if(NOT found)
      message(FATAL_ERROR "${HEADER} does not define ${name}")
    endif()
    set(head "${CMAKE_MATCH_1}-${CMAKE_MATCH_2}-${CMAKE_MATCH_3}")
    string(REGEX REPLACE "0x|, " "" tail "${CMAKE_MATCH_4}")
    string(SUBSTRING "${tail}" 0 4 tail_head)
    string(SUBSTRING "${tail}" 4 12 tail_rest)
    set(${name} "{${head}-${tail_head}-${tail_rest}}")
  endforeach()
  string(REGEX MATCH "kTypeLibMajor = ([0-9]+), kTypeLibMinor = ([0-9]+)" found "${header}")
  if(NOT found)
    message(FATAL_ERROR "${HEADER} does not give the type library's version")
  endif()
  set(TYPELIB_VERSION "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
  set(LIBID "${LIBID_QuonTessel}")
  configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
  return()
endif()

set(_tessel_manifest_script "${CMAKE_CURRENT_LIST_FILE}")

function(tessel_add_assembly_manifest dll_target)
  if(TESSEL_ARCH STREQUAL x64)
    set(processor amd64)
  else()
    set(processor x86)
  endif()
  set(header "${CMAKE_BINARY_DIR}/generated/tessel_interfaces.h")
  set(template "${PROJECT_SOURCE_DIR}/src/component/TesselControl.X.manifest.in")
  set(output "${CMAKE_BINARY_DIR}/bin/TesselControl.X.manifest")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DHEADER=${header}" "-DTEMPLATE=${template}"
            "-DOUTPUT=${output}" "-DPROCESSOR=${processor}" "-DVERSION=${PROJECT_VERSION}"
            -P "${_tessel_manifest_script}"
    DEPENDS "${header}" "${template}" "${_tessel_manifest_script}"
    COMMENT "Writing the assembly manifest of ${dll_target} (${processor})"
    VERBATIM)
  add_custom_target(tessel_manifest ALL DEPENDS "${output}")
  add_dependencies(tessel_manifest tessel_generated ${dll_target})
endfunction()
