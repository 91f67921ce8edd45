# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The web app's site: the page and its WebAssembly module, with what makes it
# an app that installs and works offline, and the zip it is shipped in.
#
#   cepomer_web_site(TARGET target PAGE file STYLE file PRERENDER target
#                    [BACKGROUND colour] [THEME colour])
#
#   TARGET      the Emscripten executable of the page; its .js is copied and
#               the .wasm the .js loads, beside it under the same name.
#   PAGE        the page's source (index.html), relative to the calling
#               folder; the site's index.html is built from it by
#               src/web/site/make_page.py:
#   STYLE       its style sheet, beside it, which the built page holds in
#               itself instead of its link to it;
#   PRERENDER   the Emscripten executable (run under Node) that prints the
#               startup window as the page draws it at start, for the built
#               page to hold in place of its comment "<!-- the startup
#               window -->".
#   BACKGROUND  the colour an installed app shows while the page loads: the
#               page's desk (default #dfe3e8, the style sheet's --desk).
#   THEME       the colour of an installed app's title bar: the page's window
#               titles (default #24487a, the style sheet's --title and the
#               page's theme-color).
#
# The target <target>-site (built by "all", after the module) builds the
# site's files under their plain names in ${PROJECT_BINARY_DIR}/site-stage/,
# then assembles ${PROJECT_BINARY_DIR}/site/ (CEPOMER_WEB_SITE_DIR) from them
# with src/web/site/make_site.py, which names each file but index.html,
# manifest.webmanifest and fonts/LICENSE.txt by a hash of its contents:
#   index.html, with its content security policy, and cepomer.<hash>.js and
#     cepomer.<hash>.wasm;
#   manifest.webmanifest, with icons/cepomer-192.<hash>.png and -512, and
#     icons/cepomer-32 and -180 for the page's favicon and apple-touch-icon
#     links, all made from resources/icons/;
#   fonts/cepomer-narrow.<hash>.woff2 (family "Cepomer Narrow": the desktop's
#     PT Sans Narrow cut down for the web and renamed, as its licence requires
#     of a modified copy) and fonts/LICENSE.txt, its licence;
#   sw.js, the service worker: the list of all the files above and a hash of
#     their contents, which names its store;
# and ${PROJECT_BINARY_DIR}/nginx.conf (CEPOMER_WEB_NGINX_CONF), the server
# configuration of packaging/web/nginx.conf.in with the site's policy,
# the same for every version; and
# packs ${PROJECT_BINARY_DIR}/cepomer-${PROJECT_VERSION}-web.zip
# (CEPOMER_WEB_ZIP): a folder cepomer-<version>-web/ holding site/, serve.py,
# nginx.conf, hosting.ru.txt, README.ru.txt and licenses/: COPYING.txt, and the
# copyright file of what is compiled into the module with it (Emscripten's
# libraries and JavaScript run-time) as Debian ships it.
#
# Needs ImageMagick's convert, zip, and Python 3 with fontTools and brotli
# (Debian: imagemagick zip fonttools python3-brotli).

set(_cepomer_web_site_script ${CMAKE_CURRENT_LIST_FILE})

function(cepomer_web_site)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "TARGET;PAGE;STYLE;PRERENDER;BACKGROUND;THEME" "")
    if(NOT arg_TARGET OR NOT TARGET ${arg_TARGET} OR NOT arg_PRERENDER
       OR NOT TARGET ${arg_PRERENDER} OR NOT arg_PAGE OR NOT arg_STYLE)
        message(FATAL_ERROR "cepomer_web_site: TARGET and PRERENDER (existing targets), PAGE and "
                            "STYLE are needed")
    endif()
    if(NOT arg_BACKGROUND)
        set(arg_BACKGROUND "#dfe3e8")
    endif()
    if(NOT arg_THEME)
        set(arg_THEME "#24487a")
    endif()

    find_program(CEPOMER_CONVERT convert)
    find_program(CEPOMER_ZIP zip)
    # Debian's fontTools lives in the system's Python, which another python3
    # earlier on PATH may lack.
    find_program(CEPOMER_SITE_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
    find_program(CEPOMER_SITE_PYTHON python3)
    if(NOT CEPOMER_CONVERT OR NOT CEPOMER_ZIP)
        message(FATAL_ERROR "cepomer_web_site: ImageMagick's convert and zip are needed "
                            "(Debian: imagemagick zip)")
    endif()
    execute_process(COMMAND ${CEPOMER_SITE_PYTHON} -c "import fontTools.subset, brotli"
                    RESULT_VARIABLE no_fonttools OUTPUT_QUIET ERROR_QUIET)
    if(no_fonttools)
        message(FATAL_ERROR "cepomer_web_site: ${CEPOMER_SITE_PYTHON} lacks fontTools or brotli "
                            "(Debian: fonttools python3-brotli)")
    endif()

    # The zip's licences: the program's, and those of the code compiled into
    # the module with it (source>name in licenses/).
    set(licences "${PROJECT_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt>COPYING.txt")
    foreach(package emscripten:emscripten)
        string(REPLACE ":" ";" package ${package})
        list(GET package 0 debian)
        list(GET package 1 name)
        if(NOT EXISTS /usr/share/doc/${debian}/copyright)
            message(FATAL_ERROR "cepomer_web_site: /usr/share/doc/${debian}/copyright is missing")
        endif()
        list(APPEND licences "/usr/share/doc/${debian}/copyright>${name}.txt")
    endforeach()

    set(assets ${PROJECT_SOURCE_DIR}/src/web/site)
    set(site ${PROJECT_BINARY_DIR}/site-stage)
    set(final_site ${PROJECT_BINARY_DIR}/site)
    set(nginx_conf ${PROJECT_BINARY_DIR}/nginx.conf)
    set(zip ${PROJECT_BINARY_DIR}/cepomer-${PROJECT_VERSION}-web.zip)
    set(files) # relative to the site
    set(outputs)

    add_custom_command(OUTPUT ${site}/index.html
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
                       COMMAND ${CEPOMER_SITE_PYTHON} ${assets}/make_page.py
                               ${CMAKE_CURRENT_SOURCE_DIR}/${arg_PAGE} ${arg_STYLE}
                               ${site}/index.html ${CMAKE_CROSSCOMPILING_EMULATOR}
                               $<TARGET_FILE:${arg_PRERENDER}>
                       DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${arg_PAGE}
                               ${CMAKE_CURRENT_SOURCE_DIR}/${arg_STYLE} ${assets}/make_page.py
                               ${arg_PRERENDER}
                       VERBATIM)
    list(APPEND files index.html)

    get_target_property(module ${arg_TARGET} OUTPUT_NAME)
    if(NOT module)
        set(module ${arg_TARGET})
    endif()
    add_custom_command(OUTPUT ${site}/${module}.js ${site}/${module}.wasm
                       COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${arg_TARGET}>
                               $<TARGET_FILE_DIR:${arg_TARGET}>/${module}.wasm ${site}
                       DEPENDS ${arg_TARGET}
                       VERBATIM)
    list(APPEND files ${module}.js ${module}.wasm)

    # Icons: the 256-pixel drawing resized, in a palette of 128 colours with
    # partial transparency (a fifth of the bytes, no visible change); no date
    # inside, so the same sources give the same bytes.
    set(png_options -strip -define png:exclude-chunk=date,time -define png:compression-level=9)
    set(icon ${PROJECT_SOURCE_DIR}/resources/icons/cepomer-256.png)
    foreach(size 192 512)
        add_custom_command(OUTPUT ${site}/icons/cepomer-${size}.png
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/icons
                           COMMAND ${CEPOMER_CONVERT} ${icon} -filter Lanczos
                                   -resize ${size}x${size} +dither -colors 128 ${png_options}
                                   ${site}/icons/cepomer-${size}.png
                           DEPENDS ${icon}
                           VERBATIM)
        list(APPEND files icons/cepomer-${size}.png)
    endforeach()
    # The small one as drawn; the home-screen one of iOS opaque (it would show
    # the transparent corners black).
    set(icon32 ${PROJECT_SOURCE_DIR}/resources/icons/cepomer-32.png)
    add_custom_command(OUTPUT ${site}/icons/cepomer-32.png ${site}/icons/cepomer-180.png
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/icons
                       COMMAND ${CEPOMER_CONVERT} ${icon32} ${png_options}
                               ${site}/icons/cepomer-32.png
                       COMMAND ${CEPOMER_CONVERT} ${icon} -filter Lanczos -resize 180x180
                               -background white -flatten +dither -colors 128 ${png_options}
                               ${site}/icons/cepomer-180.png
                       DEPENDS ${icon} ${icon32}
                       VERBATIM)
    list(APPEND files icons/cepomer-32.png icons/cepomer-180.png)

    set(CEPOMER_SITE_BACKGROUND ${arg_BACKGROUND})
    set(CEPOMER_SITE_THEME ${arg_THEME})
    configure_file(${assets}/manifest.webmanifest.in ${site}/manifest.webmanifest @ONLY)
    list(APPEND files manifest.webmanifest)

    set(font ${PROJECT_SOURCE_DIR}/resources/fonts/PTN57F.ttf)
    add_custom_command(OUTPUT ${site}/fonts/cepomer-narrow.woff2
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/fonts
                       COMMAND ${CEPOMER_SITE_PYTHON} ${assets}/subset_font.py ${font}
                               ${site}/fonts/cepomer-narrow.woff2
                       DEPENDS ${font} ${assets}/subset_font.py
                       VERBATIM)
    set(CEPOMER_FONT_FAMILY "Cepomer Narrow")
    file(READ ${PROJECT_SOURCE_DIR}/LICENSES/LicenseRef-ParaType-Free-Font.txt
         CEPOMER_FONT_LICENCE)
    string(STRIP "${CEPOMER_FONT_LICENCE}" CEPOMER_FONT_LICENCE)
    configure_file(${assets}/font-licence.txt.in ${site}/fonts/LICENSE.txt @ONLY)
    list(APPEND files fonts/cepomer-narrow.woff2 fonts/LICENSE.txt)

    foreach(file IN LISTS files)
        list(APPEND outputs ${site}/${file})
    endforeach()

    # What the last step needs to know, handed over in a file (lists do not
    # survive a command line).
    set(readme ${PROJECT_BINARY_DIR}/web-zip/README.ru.txt)
    configure_file(${assets}/README.ru.txt.in ${readme} @ONLY)
    set(params ${PROJECT_BINARY_DIR}/web-site-params.cmake)
    set(web_packaging ${PROJECT_SOURCE_DIR}/packaging/web)
    file(CONFIGURE OUTPUT ${params} CONTENT [[
set(site "@final_site@")
set(zip "@zip@")
set(zip_program "@CEPOMER_ZIP@")
set(zip_extras "@PROJECT_SOURCE_DIR@/tools/web/serve.py;@readme@;@nginx_conf@;@web_packaging@/hosting.ru.txt")
set(licences "@licences@")
]] @ONLY)
    add_custom_command(OUTPUT ${final_site}/sw.js ${nginx_conf} ${zip}
                       COMMAND ${CEPOMER_SITE_PYTHON} ${assets}/make_site.py ${site} ${final_site}
                               --version ${PROJECT_VERSION} --worker ${assets}/sw.js.in
                               --nginx ${web_packaging}/nginx.conf.in
                       COMMAND ${CMAKE_COMMAND} -DCEPOMER_WEB_SITE_PARAMS=${params}
                               -P ${_cepomer_web_site_script}
                       DEPENDS ${outputs} ${params} ${assets}/make_site.py ${assets}/sw.js.in
                               ${web_packaging}/nginx.conf.in ${web_packaging}/hosting.ru.txt
                               ${readme} ${PROJECT_SOURCE_DIR}/tools/web/serve.py
                               ${_cepomer_web_site_script}
                       COMMENT "The web site, its service worker, nginx configuration and zip"
                       VERBATIM)
    add_custom_target(${arg_TARGET}-site ALL DEPENDS ${final_site}/sw.js ${zip})

    set(CEPOMER_WEB_SITE_DIR ${final_site} PARENT_SCOPE)
    set(CEPOMER_WEB_NGINX_CONF ${nginx_conf} PARENT_SCOPE)
    set(CEPOMER_WEB_ZIP ${zip} PARENT_SCOPE)
    set_property(GLOBAL PROPERTY CEPOMER_WEB_SITE_TARGET ${arg_TARGET}-site)
endfunction()

# The last step, run as a script once the site is assembled: packs the zip.
function(_cepomer_web_site_finish)
    include(${CEPOMER_WEB_SITE_PARAMS})
    file(GLOB_RECURSE files RELATIVE ${site} ${site}/*)

    # The zip: one folder named like it, the same bytes for the same sources.
    get_filename_component(zip_dir ${zip} DIRECTORY)
    get_filename_component(top ${zip} NAME_WLE)
    set(stage ${zip_dir}/web-zip/stage)
    file(REMOVE_RECURSE ${stage})
    set(members "")
    foreach(file IN LISTS files)
        get_filename_component(dir ${file} DIRECTORY)
        file(COPY ${site}/${file} DESTINATION ${stage}/${top}/site/${dir}
             FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
        list(APPEND members ${top}/site/${file})
    endforeach()
    foreach(extra IN LISTS zip_extras)
        file(COPY ${extra} DESTINATION ${stage}/${top})
        get_filename_component(name ${extra} NAME)
        list(APPEND members ${top}/${name})
    endforeach()
    file(MAKE_DIRECTORY ${stage}/${top}/licenses)
    foreach(licence IN LISTS licences)
        string(REPLACE ">" ";" licence ${licence})
        list(GET licence 0 source)
        list(GET licence 1 name)
        file(COPY_FILE ${source} ${stage}/${top}/licenses/${name})
        list(APPEND members ${top}/licenses/${name})
    endforeach()
    list(SORT members)
    # Every member dated from SOURCE_DATE_EPOCH (else 1 January 2000), in UTC,
    # with no owner or extra time stamps.
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        set(epoch $ENV{SOURCE_DATE_EPOCH})
    else()
        set(epoch 946684800)
    endif()
    execute_process(COMMAND touch -d @${epoch} ${members} WORKING_DIRECTORY ${stage})
    file(REMOVE ${zip})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${zip_program} -q -X -D -9 ${zip}
                            ${members}
                    WORKING_DIRECTORY ${stage}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cepomer_web_site: packing ${zip} failed")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE AND CEPOMER_WEB_SITE_PARAMS)
    _cepomer_web_site_finish()
endif()
