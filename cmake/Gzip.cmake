# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Files compressed as Debian installs them: gzip -9n, no file name and no time
# stamp inside, so the same sources give the same bytes.
#   cepomer_gzip(FILE OUT_VAR)  makes FILE.gz beside FILE at build time and
#                               sets OUT_VAR to its path (for a target's
#                               DEPENDS and for install()).
function(cepomer_gzip file out_var)
    find_program(GZIP_EXECUTABLE gzip REQUIRED)
    get_filename_component(directory ${file} DIRECTORY)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${file}.gz
                       COMMAND ${GZIP_EXECUTABLE} -9 -n -k -f ${name}
                       WORKING_DIRECTORY ${directory}
                       DEPENDS ${file}
                       VERBATIM)
    set(${out_var} ${file}.gz PARENT_SCOPE)
endfunction()
