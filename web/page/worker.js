// Appended to each Worker's module, not to page.js: the input (a File or a text) goes to /input,
// answer(option) says how the job ended (WorkerEvent.h), its "arrays" ([at, bytes]) handed over.
const lineqReady = new Promise((resolve) => { Module.onRuntimeInitialized = resolve; });
self.onmessage = ({ data: { input, option } }) => lineqReady.then(() => {
    let event;
    try {
        FS.writeFile("/input", typeof input === "string" ? input :
            new Uint8Array(new FileReaderSync().readAsArrayBuffer(input)), { canOwn: true });
        event = JSON.parse(UTF8ToString(Module._answer(option)));
        event.arrays = (event.arrays || []).map(([at, bytes]) => HEAPU8.slice(at, at + bytes));
    } catch (error) {
        // The file cannot be read (DOMException), or memory cannot be had (RangeError, ExitStatus).
        const kind = error instanceof DOMException ? "unreadable" :
            ["RangeError", "ExitStatus"].includes(error && error.name) ? "outOfMemory" : "failed";
        event = { kind, text: String((error && error.message) || error) };
    }
    postMessage(event, (event.arrays || []).map((array) => array.buffer));
});
