// Appended to each Worker's module (--post-js; not a part of page.js): the Worker's side of a
// request of the page's (workers.js). A request is { input, option }: a File goes into the
// module's file system at /input, where the readers find it as on the desktop; a text goes into
// its heap (a string argument would go on the stack, which a long one overflows). The module's
// answer(text or 0, size, option) says how the job ended (web/WorkerEvent.h), its arrays ("arrays":
// where and how long in its memory) copied out and handed over. The page ends the Worker after it.
"use strict";

(() => {
    function answer({ input, option }) {
        let text = 0;
        const size = typeof input === "string" ? lengthBytesUTF8(input) : 0;
        if (typeof input === "string") {
            text = Module._malloc(size + 1);
            if (text === 0)
                return { kind: "outOfMemory" };
            stringToUTF8(input, text, size + 1);
        } else {
            const bytes = new Uint8Array(new FileReaderSync().readAsArrayBuffer(input));
            FS.writeFile("/input", bytes, { canOwn: true });
        }
        const event = JSON.parse(UTF8ToString(Module._answer(text, size, option)));
        event.arrays = (event.arrays || []).map(([at, bytes]) => HEAPU8.slice(at, at + bytes));
        return event;
    }

    // Requests that come before the module is ready wait for it.
    const initialized = new Promise((resolve) => {
        Module.onRuntimeInitialized = resolve;
    });
    self.onmessage = (message) => initialized.then(() => {
        let event;
        try {
            event = answer(message.data);
        } catch (error) {
            // A file that cannot be read throws a DOMException, arrays that cannot be had a
            // RangeError; the exact arithmetic's failed allocations end the module (ExitStatus).
            const kind = error instanceof DOMException ? "unreadable" :
                ["RangeError", "ExitStatus"].includes(error && error.name) ? "outOfMemory" : "failed";
            event = { kind, text: String((error && error.message) || error) };
        }
        postMessage(event, (event.arrays || []).map((array) => array.buffer));
    });
})();
