# cmake -DDEF=zavor_exports.def -DDLLTOOL=... -DDLL=zavor.dll -DLIB=libzavor.dll.a -P stdcall_import_library.cmake
# The DLL exports its __stdcall functions undecorated (--kill-at), but a C
# program that calls QnD_Version() asks the linker for "_QnD_Version@0". The
# import library ld writes alongside has only the undecorated names, so it is
# made again from the definitions ld wrote ("QnD_Version = QnD_Version@0 @17"):
# decorated names for the linker, with dlltool's --kill-at pointing them at
# the undecorated exports.
file(STRINGS ${DEF} lines)
set(decorated "EXPORTS\n")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]+[A-Za-z0-9_]+ = ([A-Za-z0-9_]+@[0-9]+) (@[0-9]+)")
    string(APPEND decorated "    ${CMAKE_MATCH_1} ${CMAKE_MATCH_2}\n")
  endif()
endforeach()
file(WRITE ${DEF}.decorated "${decorated}")
execute_process(COMMAND ${DLLTOOL} --kill-at --input-def ${DEF}.decorated --dllname ${DLL} --output-lib ${LIB}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "dlltool could not write ${LIB}")
endif()
