// Put before each Worker's module, not into page.js: the first message brings the module's
// WebAssembly, compiled by the page (workers.js), with the input (a File or a text), which goes to
// /input; answer(option) says how the job ended (WorkerEvent.h), its "arrays" ([at, bytes])
// handed over.
let takeCompiled;
const compiled = new Promise((resolve) => { takeCompiled = resolve; });
Module.instantiateWasm = (imports, receive) => {
    compiled.then((module) => WebAssembly.instantiate(module, imports)
        .then((instance) => receive(instance, module)))
        .catch((error) => postMessage({ kind: failureKind(error), text: String(error) }));
    return {};
};
const lineqReady = new Promise((resolve) => { Module.onRuntimeInitialized = resolve; });
// The file cannot be read (DOMException), or memory cannot be had (RangeError, ExitStatus).
const failureKind = (error) => error instanceof DOMException ? "unreadable" :
    ["RangeError", "ExitStatus"].includes(error && error.name) ? "outOfMemory" : "failed";
self.onmessage = ({ data: { wasm, input, option } }) => {
    takeCompiled(wasm);
    lineqReady.then(() => {
        let event;
        try {
            FS.writeFile("/input", typeof input === "string" ? input :
                new Uint8Array(new FileReaderSync().readAsArrayBuffer(input)), { canOwn: true });
            event = JSON.parse(UTF8ToString(Module._answer(option)));
            event.arrays = (event.arrays || []).map(([at, bytes]) => HEAPU8.slice(at, at + bytes));
        } catch (error) {
            event = { kind: failureKind(error), text: String((error && error.message) || error) };
        }
        postMessage(event, (event.arrays || []).map((array) => array.buffer));
    });
};
