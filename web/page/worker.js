// Appended to each Worker's module (--post-js; page.js does not join it): a request of the
// page's (workers.js), { input, option }, puts its input (a File's bytes or a text) at /input
// in the module's file system; the module's answer(option) says how the job ended
// (web/WorkerEvent.h), and its "arrays" ([at, bytes] in the module's memory) are handed over.
const lineqReady = new Promise((resolve) => { Module.onRuntimeInitialized = resolve; });
self.onmessage = ({ data: { input, option } }) => lineqReady.then(() => {
    let event;
    try {
        FS.writeFile("/input", typeof input === "string" ? input :
            new Uint8Array(new FileReaderSync().readAsArrayBuffer(input)), { canOwn: true });
        event = JSON.parse(UTF8ToString(Module._answer(option)));
        event.arrays = (event.arrays || []).map(([at, bytes]) => HEAPU8.slice(at, at + bytes));
    } catch (error) {
        // A file that cannot be read throws a DOMException, arrays that cannot be had a
        // RangeError; the exact arithmetic's failed allocations end the module (ExitStatus).
        const kind = error instanceof DOMException ? "unreadable" :
            ["RangeError", "ExitStatus"].includes(error && error.name) ? "outOfMemory" : "failed";
        event = { kind, text: String((error && error.message) || error) };
    }
    postMessage(event, (event.arrays || []).map((array) => array.buffer));
});
