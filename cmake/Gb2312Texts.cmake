# Fixed Chinese texts are written as readable UTF-8 in files named *Texts.u8.h; the build turns
# every string literal in them into GB2312 bytes and writes the result as *Texts.h under generated/.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(srf_gb2312_texts target)
  foreach(source IN LISTS ARGN)
    get_filename_component(name ${source} NAME)
    string(REPLACE ".u8.h" ".h" header ${name})
    set(output ${CMAKE_BINARY_DIR}/generated/${header})
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/gb2312_header.py
              ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${output}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${PROJECT_SOURCE_DIR}/tools/gb2312_header.py
      COMMENT "Encoding ${name} as GB2312")
    target_sources(${target} PRIVATE ${output})
    # The rule lives in this directory while the target may come from another: a target here
    # makes sure the header exists before the sources that include it compile.
    string(REPLACE ".h" "" stem ${header})
    add_custom_target(generate_${stem} DEPENDS ${output})
    add_dependencies(${target} generate_${stem})
  endforeach()
endfunction()
