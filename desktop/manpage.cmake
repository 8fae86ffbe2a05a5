# Writes one manual page from its source, with the version and the date put in, and the page
# compressed without a name or a time stamp, as Debian's policy asks. The date is that of
# SOURCE_DATE_EPOCH where it is set (TIMESTAMP reads it), so that a package is made reproducibly.
#   cmake -DSOURCE=quorvale.1.in -DPAGE=share/man/man1/quorvale.1 -DVERSION=1.0 -P manpage.cmake
string(TIMESTAMP QUORVALE_MAN_DATE "%Y-%m-%d" UTC)
set(PROJECT_VERSION ${VERSION})
configure_file(${SOURCE} ${PAGE} @ONLY)
execute_process(COMMAND gzip -9 -n -c ${PAGE} OUTPUT_FILE ${PAGE}.gz RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${PAGE}: ${status}")
endif()
