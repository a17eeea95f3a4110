// Appended to the exact module (--post-js): the Worker's side of the page's exact solve. Each
// message is a request text; each reply { ending, text }: "report" with the report text,
// "outOfMemory", or "failed" with the reason. A module that ran out of memory is spent: the
// page makes a new Worker for the next request.
"use strict";

(() => {
    // exact/ChildRun.h's kOutOfMemoryStatus, with which the arithmetic's allocations end.
    const outOfMemoryStatus = 3;
    let ready = false;
    const waiting = [];

    // The request goes into the heap: ccall would put a string argument on the stack, which a
    // system of some 280 equations or more overflows.
    function solve(request) {
        const size = lengthBytesUTF8(request) + 1;
        const text = Module._malloc(size);
        if (text === 0)
            return "out-of-memory";
        try {
            stringToUTF8(request, text, size);
            return Module.ccall("solveRequest", "string", ["number"], [text]);
        } finally {
            Module._free(text);
        }
    }

    function answer(request) {
        try {
            const text = solve(request);
            if (text.startsWith("out-of-memory"))
                return { ending: "outOfMemory" };
            if (text.startsWith("error "))
                return { ending: "failed", text: text.slice(6).trim() };
            return { ending: "report", text };
        } catch (error) {
            if (error instanceof ExitStatus && error.status === outOfMemoryStatus)
                return { ending: "outOfMemory" };
            // A memory that cannot grow further aborts wherever it is asked for.
            const reason = String((error && error.message) || error);
            if (/Cannot enlarge memory|out of memory|OOM/i.test(reason))
                return { ending: "outOfMemory" };
            return { ending: "failed", text: reason };
        }
    }

    self.onmessage = (event) => {
        if (ready)
            postMessage(answer(event.data));
        else
            waiting.push(event.data);
    };
    Module.onRuntimeInitialized = () => {
        ready = true;
        for (const request of waiting.splice(0))
            postMessage(answer(request));
    };
})();
