// Appended to the exact module (--post-js): the Worker's side of the page's exact solve. Each
// message is a request text; each reply how the solve ended (web/WorkerEvent.h). A module that
// ran out of memory is spent: the page makes a new Worker for the next request.
"use strict";

(() => {
    // The request goes into the heap: ccall would put a string argument on the stack, which a
    // system of some 280 equations or more overflows.
    function answer(request) {
        const size = lengthBytesUTF8(request) + 1;
        const text = Module._malloc(size);
        if (text === 0)
            return { kind: "outOfMemory" };
        try {
            stringToUTF8(request, text, size);
            return JSON.parse(UTF8ToString(Module._solveRequest(text)));
        } catch (error) {
            // The arithmetic's allocations that fail end the module: nothing else does.
            return error instanceof ExitStatus ? { kind: "outOfMemory" } :
                { kind: "failed", text: String((error && error.message) || error) };
        } finally {
            Module._free(text);
        }
    }

    // Requests that come before the module is ready wait for it, in their order.
    const initialized = new Promise((resolve) => {
        Module.onRuntimeInitialized = resolve;
    });
    self.onmessage = (event) => initialized.then(() => postMessage(answer(event.data)));
})();
