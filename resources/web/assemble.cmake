# Puts the web edition's files in one folder, as a static host serves them:
#   cmake -DSOURCE=resources/web -DICONS=resources/icons -DPROGRAM=<velsona.js>
#         -DVERSION=1.0.0 -DOUT=<folder> -P assemble.cmake
# The program (start.js, velsona.js, velsona.wasm) goes in a folder of its
# own named by the version and a digest of its files, which index.html
# names: a page only ever asks for one build's program. The service worker's
# cache is named by the version and a digest of every other file, so that
# any new build replaces what browsers keep.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/icons)
get_filename_component(program_dir ${PROGRAM} DIRECTORY)
set(program_files ${SOURCE}/start.js ${PROGRAM} ${program_dir}/velsona.wasm)
set(digests "")
foreach(file IN LISTS program_files)
  file(SHA256 ${file} digest)
  string(APPEND digests "${digest}\n")
endforeach()
string(SHA256 program "${digests}")
string(SUBSTRING ${program} 0 12 program)
set(VELSONA_PROGRAM ${VERSION}-${program})
file(COPY ${program_files} DESTINATION ${OUT}/${VELSONA_PROGRAM})
configure_file(${SOURCE}/index.html ${OUT}/index.html @ONLY)
file(COPY ${SOURCE}/velsona.css ${SOURCE}/start-check.js ${SOURCE}/manifest.webmanifest DESTINATION ${OUT})
file(GLOB icons ${ICONS}/velsona-*.png)
file(COPY ${icons} DESTINATION ${OUT}/icons)

file(GLOB_RECURSE files RELATIVE ${OUT} ${OUT}/*)
list(SORT files)
set(digests "")
set(VELSONA_PAGE_FILES "'./'")
foreach(name IN LISTS files)
  file(SHA256 ${OUT}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND VELSONA_PAGE_FILES ", '${name}'")
endforeach()
string(SHA256 build "${digests}")
string(SUBSTRING ${build} 0 12 build)
set(VELSONA_BUILD_ID ${VERSION}-${build})
configure_file(${SOURCE}/sw.js.in ${OUT}/sw.js @ONLY)
