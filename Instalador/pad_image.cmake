# cmake -DIMAGE=<file> -DSIZE=<bytes> -P pad_image.cmake
# The package layout places the uninstaller and the header at fixed offsets,
# so each program image is padded with zero bytes to its constant size
# (bytes after a PE image are never loaded). An image that has outgrown
# its constant stops the build.
file(SIZE "${IMAGE}" actual)
if(actual GREATER SIZE)
  file(REMOVE "${IMAGE}")
  message(FATAL_ERROR "${IMAGE} is ${actual} bytes, more than the ${SIZE} bytes the package layout "
                      "reserves for it: make it smaller or change the layout constants.")
endif()
if(actual LESS SIZE)
  execute_process(COMMAND truncate -s ${SIZE} "${IMAGE}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "could not pad ${IMAGE} to ${SIZE} bytes")
  endif()
endif()
message(STATUS "${IMAGE}: ${actual} bytes of program, padded to ${SIZE}")
