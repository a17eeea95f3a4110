# Joins the page's scripts (PARTS, in order) into one (OUTPUT): one request at page load, and
# a classic script, which a page opened from a file may run where it refuses modules. The
# parts share one block, so that their names stay out of the global scope where lineq.js
# declares its own; what the program and the Workers' scripts reach is declared with var.
file(WRITE ${OUTPUT} "\"use strict\";\n{\n")
foreach(part IN LISTS PARTS)
    file(READ ${part} text)
    file(APPEND ${OUTPUT} "${text}")
endforeach()
file(APPEND ${OUTPUT} "}\n")
