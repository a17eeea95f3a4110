// Writes a module's WebAssembly as a classic script for the page, base64 (a page opened from a
// file can fetch nothing) that the browser compiles as soon as the script has run.
//
//   node wasmScript.mjs WASM OUTPUT          the program: its compilation's promise is lineqWasm
//   node wasmScript.mjs WASM OUTPUT SCRIPT   a Worker's module: its script (Emscripten's, with
//                                            web/page/worker.js) and the compilation go to
//                                            lineqPage.moduleLoaded under OUTPUT's name
import { readFileSync, writeFileSync } from "node:fs";
import path from "node:path";

const [wasm, output, script] = process.argv.slice(2);
const compiled = `((base64) => {
    if (Uint8Array.fromBase64)
        return WebAssembly.compile(Uint8Array.fromBase64(base64));
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i)
        bytes[i] = text.charCodeAt(i);
    return WebAssembly.compile(bytes);
})("${readFileSync(wasm).toString("base64")}")`;
writeFileSync(output, script === undefined
    ? `// The program's WebAssembly (lineq.wasm), compiled while the page is laid out.
var lineqWasm = ${compiled};
`
    : `lineqPage.moduleLoaded(${JSON.stringify(path.basename(output))},
    ${JSON.stringify(readFileSync(script, "utf8"))},
    ${compiled});
`);
