# Makes the import library of a 32-bit DLL linked with --kill-at again, so
# that callers compiled against the headers find its __stdcall functions:
# the linker's export list names them "Name = Name@n"; the new library
# keeps the symbol _Name@n and imports the DLL's undecorated Name.
#   -DDEF=<the linker's --output-def file> -DDLL=<DLL file name>
#   -DIMPLIB=<import library to write> -DDLLTOOL=<dlltool>
file(READ ${DEF} exports)
string(REGEX REPLACE "[A-Za-z0-9_]+ = ([A-Za-z0-9_]+@[0-9]+)" "\\1" exports "${exports}")
file(WRITE ${DEF}.decorated "${exports}")
execute_process(COMMAND ${DLLTOOL} --kill-at --input-def ${DEF}.decorated --dllname ${DLL}
                        --output-lib ${IMPLIB}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dlltool could not make ${IMPLIB}")
endif()
