# Run by CPack on its staging folder before the package is made: gzip -9n every manual page
# and the changelog, as Debian's tools would.
file(GLOB_RECURSE docs
  ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/*.[1-9]
  ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/quillmark/changelog)
foreach(doc IN LISTS docs)
  execute_process(COMMAND gzip -9nf ${doc} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip failed on ${doc}")
  endif()
endforeach()
