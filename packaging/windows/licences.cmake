# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Gathers the licence texts of everything inside the Windows programs into OUT:
#   cmake -DSOURCE_DIR=... -DQT_SOURCE_DIR=... -DOUT=... -P licences.cmake
# The programs are GPL-3.0-or-later; Qt is used under its GPL-3.0 option; the
# libraries bundled into Qt and the font keep their own licences.
file(MAKE_DIRECTORY ${OUT})
file(COPY_FILE ${SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt ${OUT}/COPYING.txt)
file(COPY_FILE ${SOURCE_DIR}/LICENSES/LicenseRef-ParaType-Free-Font.txt
     ${OUT}/PT-Sans-Narrow-font.txt)
foreach(name GPL-3.0-only LGPL-3.0-only)
    file(COPY_FILE ${QT_SOURCE_DIR}/LICENSES/${name}.txt ${OUT}/Qt-${name}.txt)
endforeach()

# name: licence file(s) under Qt's src/3rdparty
set(bundled
    "FreeType:freetype/docs/FTL.TXT"
    "HarfBuzz:harfbuzz-ng/COPYING"
    "libpng:libpng/LICENSE"
    "zlib:zlib/LICENSE"
    "PCRE2:pcre2/LICENCE"
    "double-conversion:double-conversion/LICENSE"
    "MD4C:md4c/LICENSE.md"
    "TinyCBOR:tinycbor/LICENSE"
    "Easing equations:easing/LICENSE"
    "BLAKE2:blake2/COPYING"
    "SHA-3:sha3/BRG_ENDIAN_LICENSE"
    "SHA-384 and SHA-512 (RFC 6234):rfc6234/LICENSE"
    "sRGB colour profile:icc/LICENSE.txt")
set(text "Libraries built into Qt, and so into cepomer.exe and cepomer-drive.exe\n")
foreach(entry IN LISTS bundled)
    string(REPLACE ":" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 path)
    file(READ ${QT_SOURCE_DIR}/src/3rdparty/${path} licence)
    string(APPEND text "\n==== ${name} ====\n\n${licence}\n")
endforeach()
file(WRITE ${OUT}/Qt-third-party.txt "${text}")

# Windows' Notepad before 2018 shows LF-only files as one line.
file(GLOB texts ${OUT}/*.txt)
foreach(path IN LISTS texts)
    file(READ ${path} content)
    string(REPLACE "\r\n" "\n" content "${content}")
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE ${path} "${content}")
endforeach()
