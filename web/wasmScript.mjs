// Writes a module's WebAssembly (WASM) as a classic script for the page (OUTPUT): base64, as a
// page opened from a file can fetch nothing, compiled by the browser as soon as the script has
// run. The page finds the compilation's promise as `lineqWasm`.
//
// usage: node wasmScript.mjs WASM OUTPUT
import { readFileSync, writeFileSync } from "node:fs";

const [wasm, output] = process.argv.slice(2);
const base64 = readFileSync(wasm).toString("base64");
writeFileSync(output, `// The program's WebAssembly (lineq.wasm), compiled while the page is laid out.
var lineqWasm = ((base64) => {
    if (Uint8Array.fromBase64)
        return WebAssembly.compile(Uint8Array.fromBase64(base64));
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i)
        bytes[i] = text.charCodeAt(i);
    return WebAssembly.compile(bytes);
})("${base64}");
`);
