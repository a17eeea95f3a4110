// Appended to the reading module (--post-js): the Worker's side of the page's reading. A
// message is { file } (a File the user chose or dropped) or { text } (pasted or dropped), with
// keepWritten (the numbers as written are kept); the replies are { progress: bytes } as the
// reading goes, then one of { ending: "system", n, hasB, a, b, written } (A's rows one after
// another, and b, as Float64Arrays that are handed over; written: { entries, texts, flags },
// ReadWorker.cpp's, the texts as UTF-8 bytes), { ending: "refused", text }, { ending: "outOfMemory" } or
// { ending: "unreadable" }.
"use strict";

(() => {
    let ready = false;
    const waiting = [];

    function bytesOf(file) {
        try {
            return new Uint8Array(new FileReaderSync().readAsArrayBuffer(file));
        } catch {
            return null;
        }
    }

    // The status of the reading (ReadWorker.cpp's readWith), or null when the file cannot be
    // read at all.
    function read(request) {
        if (request.file !== undefined) {
            const bytes = bytesOf(request.file);
            if (bytes === null)
                return null;
            // The readers find the file as on the desktop; the name is the page's to say.
            const path = "/input";
            FS.writeFile(path, bytes, { canOwn: true });
            try {
                return Module._readPath(allocateUTF8OnStack(path), request.keepWritten ? 1 : 0);
            } finally {
                FS.unlink(path);
            }
        }
        const size = lengthBytesUTF8(request.text);
        const text = Module._malloc(size + 1);
        if (text === 0)
            return 2;
        try {
            stringToUTF8(request.text, text, size + 1);
            return Module._readText(text, size, request.keepWritten ? 1 : 0);
        } finally {
            Module._free(text);
        }
    }

    function answer(request) {
        let status;
        try {
            status = read(request);
        } catch (error) {
            // A memory that cannot grow further aborts wherever it is asked for.
            if (/Cannot enlarge memory|out of memory|OOM/i.test(String((error && error.message) || error)))
                return postMessage({ ending: "outOfMemory" });
            throw error;
        }
        if (status === null)
            return postMessage({ ending: "unreadable" });
        if (status === 1)
            return postMessage({ ending: "refused", text: UTF8ToString(Module._refusalText()) });
        if (status === 2)
            return postMessage({ ending: "outOfMemory" });
        const n = Module._systemOrder();
        const a = new Float64Array(n * n);
        for (let i = 1; i <= n; ++i) {
            const row = Module._systemRow(i) / 8;
            a.set(HEAPF64.subarray(row, row + n), (i - 1) * n);
        }
        const first = Module._systemB() / 8;
        const b = HEAPF64.slice(first, first + n);
        const hasB = Module._systemHasB() === 1;
        const entries = HEAPU8.slice(Module._writtenRecordData(),
            Module._writtenRecordData() + Module._writtenRecordBytes());
        const texts = HEAPU8.slice(Module._writtenTextData(),
            Module._writtenTextData() + Module._writtenTextLength());
        const written = { entries, texts, flags: Module._writtenFlags() };
        Module._releaseSystem();
        postMessage({ ending: "system", n, hasB, a, b, written }, [a.buffer, b.buffer,
            entries.buffer, texts.buffer]);
    }

    self.onmessage = (event) => {
        if (ready)
            answer(event.data);
        else
            waiting.push(event.data);
    };
    Module.onRuntimeInitialized = () => {
        ready = true;
        for (const request of waiting.splice(0))
            answer(request);
    };
})();
