# Writes the resource script of the two interface-identifier resources:
#   _IID_SPELLCHECK 1     the identifier of _SpellCheck
#   _SRCIID_SPELLCHECK 1  the identifier of __SpellCheck
# each 20 bytes: a 32-bit little-endian 16, then the 16-byte binary GUID. The GUIDs are read from
# widl's GUID file, so lexivane.idl stays the one place that states them.
#
# usage: cmake -DGUID_FILE=lexivane_idl_i.c -DOUTPUT=interface_ids.rc -P interface_ids.cmake
file(READ ${GUID_FILE} guids)

# A resource data block: "L" numbers are 32-bit, the others 16-bit, all little-endian, which is
# how a GUID lies in memory (Data1, Data2, Data3, then the eight bytes of Data4 in order).
function(resource_for type identifier out)
  if(NOT guids MATCHES "MIDL_DEFINE_GUID\\(IID, ${identifier},([^)]*)\\)")
    message(FATAL_ERROR "${identifier} is not in ${GUID_FILE}")
  endif()
  string(REGEX MATCHALL "0x[0-9a-fA-F]+" parts "${CMAKE_MATCH_1}")
  list(LENGTH parts count)
  if(NOT count EQUAL 11)
    message(FATAL_ERROR "${identifier} in ${GUID_FILE} is not a GUID: ${CMAKE_MATCH_1}")
  endif()
  list(GET parts 0 data1)
  list(GET parts 1 data2)
  list(GET parts 2 data3)
  set(data4 "")
  foreach(low 3 5 7 9)
    math(EXPR high "${low} + 1")
    list(GET parts ${low} low_byte)
    list(GET parts ${high} high_byte)
    string(SUBSTRING ${high_byte} 2 -1 high_digits)
    string(SUBSTRING ${low_byte} 2 -1 low_digits)
    string(APPEND data4 ", 0x${high_digits}${low_digits}")
  endforeach()
  set(${out} "1 ${type}\nBEGIN\n  16L, ${data1}L, ${data2}, ${data3}${data4}\nEND\n" PARENT_SCOPE)
endfunction()

resource_for(_IID_SPELLCHECK IID__SpellCheck interface)
resource_for(_SRCIID_SPELLCHECK DIID___SpellCheck source)
file(WRITE ${OUTPUT} "// Written by interface_ids.cmake from ${GUID_FILE}.\n${interface}${source}")
