# cmake -DMODULE=<K3100.ds> -P CheckExports.cmake
# The data source defines exactly its two entry points, and takes the foundation from the shared
# library so that it shares the host's notification centre and run loop.
execute_process(COMMAND nm -D --defined-only ${MODULE} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^ \n]+\n" names "${symbols}")
list(TRANSFORM names STRIP)
list(SORT names)
if(NOT names STREQUAL "DS_Entry;GetQSButtonStatus")
  message(FATAL_ERROR "exported: ${names}")
endif()
execute_process(COMMAND readelf -d ${MODULE} OUTPUT_VARIABLE dynamic RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT dynamic MATCHES "NEEDED[^\n]*libk3100foundation\\.so")
  message(FATAL_ERROR "${MODULE} does not load libk3100foundation.so")
endif()
