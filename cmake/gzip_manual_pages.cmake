# Run by CPack on the package's staging tree before the package is made: Debian keeps manual
# pages compressed (gzip -9n, no name or time stored), while an install into a prefix keeps
# them as plain pages.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*.[1-9]")
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${page}")
  endif()
endforeach()
