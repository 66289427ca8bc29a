# Run by CPack on the staged files before they are packed: compresses the
# manual page and the changelog as Debian keeps them (gzip -9, no name or
# time stamp inside, so the same files give the same package).
file(GLOB_RECURSE documents
  ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1
  ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/*/changelog)
if(NOT documents)
  message(FATAL_ERROR "compress-docs: no manual page or changelog under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(document ${documents})
  execute_process(COMMAND gzip -9n -f ${document} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
