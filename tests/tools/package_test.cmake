# Checks the release package that scripts/package.sh wrote: its name, its
# files, their checksums, the text of LIESMICH.txt, the version inside each
# program, and what vxorder.exe --version prints under wine.
#   cmake -DDIST=folder -DVERSION=x.y.z -DEMULATOR=runner -DWORK=folder -P package_test.cmake
cmake_minimum_required(VERSION 3.20)

set(failures 0)
macro(fail text)
  message(SEND_ERROR "${text}")
  math(EXPR failures "${failures} + 1")
endmacro()

# The one package in the folder, named after the version in VERSION.
file(GLOB packages RELATIVE "${DIST}" "${DIST}/VXJSONObject-*-win64.zip")
if(NOT packages)
  message(FATAL_ERROR "no package in ${DIST}: run bash scripts/package.sh")
endif()
list(LENGTH packages count)
if(NOT count EQUAL 1)
  fail("one package expected in ${DIST}, found: ${packages}")
endif()
list(GET packages 0 package)
if(NOT package MATCHES "^VXJSONObject-([0-9]+\\.[0-9]+\\.[0-9]+)-win64\\.zip$")
  message(FATAL_ERROR "package name without a version: ${package}")
endif()
set(package_version ${CMAKE_MATCH_1})
if(NOT package_version STREQUAL VERSION)
  fail("the package is named for ${package_version}, VERSION holds ${VERSION}: run bash scripts/package.sh")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${DIST}/${package}" WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${package}")
endif()

# Exactly these files, at the top of the archive.
set(programs VXJSONObject.exe vxorder.exe exchange-sim.exe)
file(GLOB_RECURSE unpacked RELATIVE "${WORK}" "${WORK}/*")
list(SORT unpacked)
set(expected ${programs} LIESMICH.txt SHA256SUMS)
list(SORT expected)
if(NOT unpacked STREQUAL expected)
  fail("the package holds [${unpacked}], expected [${expected}]")
endif()

# Every other file has its line in SHA256SUMS, and it matches.
file(STRINGS "${WORK}/SHA256SUMS" sums)
set(summed)
foreach(line IN LISTS sums)
  if(NOT line MATCHES "^([0-9a-f]+)  (.+)$")
    fail("SHA256SUMS line not in the form \"HASH  NAME\": ${line}")
    continue()
  endif()
  set(name ${CMAKE_MATCH_2})
  list(APPEND summed ${name})
  if(EXISTS "${WORK}/${name}")
    file(SHA256 "${WORK}/${name}" actual)
    if(NOT actual STREQUAL CMAKE_MATCH_1)
      fail("checksum of ${name} is ${actual}, SHA256SUMS says ${CMAKE_MATCH_1}")
    endif()
  else()
    fail("SHA256SUMS names ${name}, which the package lacks")
  endif()
endforeach()
list(SORT summed)
set(to_sum ${programs} LIESMICH.txt)
list(SORT to_sum)
if(NOT summed STREQUAL to_sum)
  fail("SHA256SUMS covers [${summed}], expected [${to_sum}]")
endif()

# LIESMICH.txt: Windows-1252 with CR LF, for office and support staff. Its
# umlauts are single bytes ("\xfc" for the u with diaeresis), never UTF-8.
string(ASCII 252 u_uml)
string(ASCII 214 O_uml)
string(ASCII 223 sz)
string(ASCII 195 188 u_uml_utf8)
# Read as text, CMake drops the CRs; the bytes count them.
file(READ "${WORK}/LIESMICH.txt" hex HEX)
string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
string(REGEX MATCHALL "0d 0a " crlf "${bytes}")
string(REGEX MATCHALL "0a " lf "${bytes}")
string(REGEX MATCHALL "0d " cr "${bytes}")
list(LENGTH crlf crlf_count)
list(LENGTH lf lf_count)
list(LENGTH cr cr_count)
if(crlf_count EQUAL 0 OR NOT lf_count EQUAL crlf_count OR NOT cr_count EQUAL crlf_count)
  fail("LIESMICH.txt has ${lf_count} LF and ${cr_count} CR for ${crlf_count} CR LF line ends")
endif()
file(READ "${WORK}/LIESMICH.txt" text)
string(FIND "${text}" "${u_uml_utf8}" at)
if(at GREATER_EQUAL 0)
  fail("LIESMICH.txt holds UTF-8, not Windows-1252")
endif()
foreach(needed
    "VXJSONObject ${VERSION}"
    "f${u_uml}r den Support" "${O_uml}ffentliche Dokumente"
    # the buttons and links
    "VX Auftrag speichern" "${O_uml}ffnen und nach VX senden" "Nur Inhalt Kopieren" "Vorlage Dateiname"
    # where files live
    "UserMode.INI" "TemplateFileName.txt" "VX-ClientRoot\\default\\kastelo.VXJSONObject" "VXTempDir"
    # every message the window shows, and its captions
    "Die erzeugten Datei finden Sie hier" "Auftrag wurde nicht geladen." "Auftrag wurde nicht geladen:"
    "Auftrag muss auf Bearbeiten stehen." "Daten nicht lesbar." "Keine Datenbank erreichbar" "Datenbank: "
    "kann nicht erstellt werden" "Systemfehler:" "Schlie${sz}en"
    # before the first start, and removing it
    "Windows 10 oder Windows 11 in der 64-Bit-Ausgabe" "Zulassen" "Trotzdem ausf${u_uml}hren" "C:\\Program Files"
    "Das Programm entfernen"
    # support staff, in the PowerShell too
    "vxorder check" "vxorder send" "exchange-sim --order" "--launch VXJSONObject.exe" "--edit-mode 0"
    "--version" ".\\vxorder check")
  string(FIND "${text}" "${needed}" at)
  if(at LESS 0)
    fail("LIESMICH.txt does not mention \"${needed}\"")
  endif()
endforeach()

# Each program carries the version in its version resource and manifest.
string(REPLACE "." "\\." version_regex "${VERSION}")
foreach(program IN LISTS programs)
  if(NOT EXISTS "${WORK}/${program}")
    continue()
  endif()
  # The keys and the values of the resource's strings, without the bytes
  # around them (an icon's bytes may read as text too).
  file(STRINGS "${WORK}/${program}" resource ENCODING UTF-16LE
       REGEX "^((File|Product)Version|CompanyName|LegalCopyright|[0-9]+\\.[0-9]+\\.[0-9]+|Kastelo|Copyright .*)$")
  foreach(pair "FileVersion=${VERSION}" "ProductVersion=${VERSION}" "CompanyName=Kastelo"
          "LegalCopyright=Copyright (C) 2026 Kastelo")
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 key)
    list(GET pair 1 expected)
    list(FIND resource ${key} at)
    set(value "")
    if(at GREATER_EQUAL 0)
      math(EXPR at "${at} + 1")
      list(GET resource ${at} value)
    endif()
    if(NOT value STREQUAL expected)
      fail("${program}: ${key} \"${value}\" in the version resource, expected \"${expected}\"")
    endif()
  endforeach()
  get_filename_component(stem ${program} NAME_WE)
  file(STRINGS "${WORK}/${program}" manifest REGEX "name=\"kastelo\\.${stem}\" version=\"${version_regex}\\.0\"")
  if(NOT manifest)
    fail("${program}: no manifest with version ${VERSION}.0")
  endif()
endforeach()

# The programs run and tell the version the package is named after.
foreach(program vxorder exchange-sim)
  execute_process(COMMAND ${EMULATOR} "${WORK}/${program}.exe" --version
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REPLACE "\r" "" out "${out}")
  if(NOT code EQUAL 0 OR NOT out STREQUAL "${program} ${package_version}\n")
    fail("${program}.exe --version: exit ${code}, printed [${out}] [${err}], expected [${program} ${package_version}]")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) of ${package} failed")
endif()
message(STATUS "${package}: ${unpacked}")
