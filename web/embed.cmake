# Wraps a Worker's module (MODULE) in a script (OUTPUT) that hands the module's text to the page
# (lineqPage.moduleLoaded, under the script's name): a page opened from a file can start a Worker
# from a Blob URL only, never from a script's name. The page loads the script when the module is
# first asked for. (CMake reads the text without carriage returns; Emscripten writes none.)
file(READ ${MODULE} text)
string(REPLACE "\\" "\\\\" text "${text}")
string(REPLACE "\"" "\\\"" text "${text}")
string(REPLACE "\n" "\\n" text "${text}")
get_filename_component(name ${OUTPUT} NAME)
file(WRITE ${OUTPUT} "lineqPage.moduleLoaded(\"${name}\", \"${text}\");\n")
