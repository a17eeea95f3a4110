// Appended to the reading module (--post-js): the Worker's side of the page's reading. A
// message is { file } (a File the user chose or dropped) or { text } (pasted or dropped), with
// keepWritten (the numbers as written are kept); the replies are how far the reading is, then
// how it ended (web/WorkerEvent.h). A system read comes with A's rows one after another and b
// (a, b) and the numbers as written (entries, texts: ReadWorker.cpp's bytes), handed over.
"use strict";

(() => {
    function bytesOf(file) {
        try {
            return new Uint8Array(new FileReaderSync().readAsArrayBuffer(file));
        } catch {
            return null;
        }
    }

    // How the reading ended (ReadWorker.cpp's readWith), as JSON.
    function read(request) {
        if (request.file !== undefined) {
            const bytes = bytesOf(request.file);
            if (bytes === null)
                return { kind: "unreadable" };
            // The readers find the file as on the desktop; the name is the page's to say.
            const path = "/input";
            FS.writeFile(path, bytes, { canOwn: true });
            try {
                return JSON.parse(UTF8ToString(Module._readPath(allocateUTF8OnStack(path),
                    request.keepWritten ? 1 : 0)));
            } finally {
                FS.unlink(path);
            }
        }
        const size = lengthBytesUTF8(request.text);
        const text = Module._malloc(size + 1);
        if (text === 0)
            return { kind: "outOfMemory" };
        try {
            stringToUTF8(request.text, text, size + 1);
            return JSON.parse(UTF8ToString(Module._readText(text, size,
                request.keepWritten ? 1 : 0)));
        } finally {
            Module._free(text);
        }
    }

    // The system read, its arrays copied out of the module's memory.
    function withSystem(event) {
        const n = event.n;
        const a = new Float64Array(n * n);
        for (let i = 1; i <= n; ++i) {
            const row = Module._systemRow(i) / 8;
            a.set(HEAPF64.subarray(row, row + n), (i - 1) * n);
        }
        const first = Module._systemB() / 8;
        const b = HEAPF64.slice(first, first + n);
        const entries = HEAPU8.slice(Module._writtenRecordData(),
            Module._writtenRecordData() + event.recordBytes);
        const texts = HEAPU8.slice(Module._writtenTextData(),
            Module._writtenTextData() + event.textBytes);
        Module._releaseSystem();
        return Object.assign(event, { a, b, entries, texts });
    }

    function answer(request) {
        let event;
        try {
            event = read(request);
            if (event.kind === "done")
                event = withSystem(event);
        } catch (error) {
            // JavaScript's arrays that cannot be had throw RangeError.
            event = error instanceof RangeError ? { kind: "outOfMemory" } :
                { kind: "failed", text: String((error && error.message) || error) };
        }
        postMessage(event, [event.a, event.b, event.entries, event.texts]
            .filter(Boolean).map((array) => array.buffer));
    }

    // Requests that come before the module is ready wait for it, in their order.
    const initialized = new Promise((resolve) => {
        Module.onRuntimeInitialized = resolve;
    });
    self.onmessage = (event) => initialized.then(() => answer(event.data));
})();
