# The event message table, compiled from zmmsg.mc by the message compiler.
# zm_message_table(<target>) adds it to the target's resources; zmmsg.dll
# and ZM.exe carry the same table.
set(ZM_MESSAGE_TABLE_SOURCE ${CMAKE_CURRENT_LIST_DIR}/zmmsg.mc)
find_program(ZM_WINDMC NAMES x86_64-w64-mingw32-windmc windmc REQUIRED)

function(zm_message_table target)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_msgtable)
  # Each text must end in CR LF, and the compiler keeps the line ends of
  # its input.
  configure_file(${ZM_MESSAGE_TABLE_SOURCE} ${dir}/zmmsg.mc @ONLY NEWLINE_STYLE CRLF)
  add_custom_command(
    OUTPUT ${dir}/zmmsg.rc ${dir}/MSG00409.bin
    COMMAND ${ZM_WINDMC} -r ${dir} -h ${dir} ${dir}/zmmsg.mc
    DEPENDS ${dir}/zmmsg.mc
    COMMENT "Compiling the message table for ${target}")
  set_source_files_properties(${dir}/zmmsg.rc PROPERTIES OBJECT_DEPENDS ${dir}/MSG00409.bin)
  target_sources(${target} PRIVATE ${dir}/zmmsg.rc)
  target_include_directories(${target} PRIVATE ${dir})
endfunction()
