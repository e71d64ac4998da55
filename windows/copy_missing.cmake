# cmake -DSOURCE=folder -DTARGET=folder -P copy_missing.cmake: copies each file of SOURCE that
# TARGET lacks, so a player's saves in the build folder are never replaced.
file(MAKE_DIRECTORY ${TARGET})
file(GLOB names RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(name ${names})
  if(NOT EXISTS ${TARGET}/${name})
    file(COPY ${SOURCE}/${name} DESTINATION ${TARGET})
  endif()
endforeach()
