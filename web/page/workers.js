// The page's Workers: their modules, loaded when first asked for, and the reading's client.

// A Worker's module from its own script (lineq-read.js, lineq-exact.js), loaded the first time
// it is asked for: a page opened from a file can start a Worker from a Blob URL only, so the
// script hands over the module's text (arrived), which becomes one. Once per page; a failed
// load is tried again. load() resolves with the Blob URL; start() runs a request on a Worker.
function workerModule(script) {
    let loading = null;
    let arrive = null;
    return {
        load() {
            loading ??= new Promise((resolve, reject) => {
                arrive = resolve;
                const element = document.createElement("script");
                element.src = script;
                element.onerror = () => {
                    loading = null;
                    element.remove();
                    reject(new Error(`cannot load ${script}`));
                };
                document.head.appendChild(element);
            });
            return loading;
        },
        arrived(text) {
            arrive(URL.createObjectURL(new Blob([text], { type: "text/javascript" })));
        },
        // Posts `request` to `worker`, or to a new Worker once the module is loaded, unless
        // over() by then; each event it posts goes to `arrive`, and its failure, or the
        // module's, as failed (`stopped` when it gives no reason). Resolves with the Worker.
        start(request, arrive, over, stopped, worker = null) {
            return this.load().then((url) => {
                if (over())
                    return worker;
                worker ??= new Worker(url);
                worker.onmessage = (message) => arrive(message.data);
                worker.onerror = (error) => {
                    error.preventDefault();
                    arrive({ kind: "failed", text: error.message || stopped });
                };
                worker.postMessage(request);
                return worker;
            }, (error) => {
                arrive({ kind: "failed", text: error.message });
                return worker;
            });
        },
    };
}

// The reading module (web/read/), loaded when a system is first pasted, opened or dropped
// (or a drag first enters the window).
const readModule = workerModule("lineq-read.js");

// One reading at a time: the input the program is about to read ({ file } or { text }),
// then the Worker reading it and what it answered (web/WorkerEvent.h), which the program takes
// one event at a time (nextReadEvent, then readEvent for the system's arrays; web/WebRead.cpp).
let reading = null;
function startReading(keepWritten) {
    const current = reading;
    current.input.keepWritten = keepWritten;
    current.events = [];
    const arrive = (event) => {
        if (current.ended)
            return;
        // Only the latest progress counts.
        const progress = event.kind === "progress";
        if (progress && current.events.at(-1)?.kind === "progress")
            current.events.pop();
        current.events.push(event);
        if (!progress)
            endReading(current);
        current.wake?.();
    };
    current.cancel = () => arrive({ kind: "cancelled" });
    readModule.start(current.input, arrive, () => current.ended, "the reader stopped")
        .then((worker) => {
            current.worker = worker;
            if (current.ended)
                endReading(current);
        });
}
// A reading ends at its answer or its cancel; its Worker, and the memory it holds, go.
function endReading(current) {
    current.ended = true;
    current.worker?.terminate();
    current.worker = null;
}
// The next event as JSON, its arrays left out: readEvent() keeps them.
async function nextReadEvent() {
    const current = reading;
    longWork?.waiting();
    while (current.events.length === 0)
        await new Promise((wake) => { current.wake = wake; });
    current.event = current.events.shift();
    return JSON.stringify(current.event, (key, value) =>
        ArrayBuffer.isView(value) ? undefined : value);
}
const readEvent = () => reading.event;

function readSystem(input, command) {
    run(async () => {
        reading = { input };
        try {
            await command();
        } finally {
            if (!reading.ended)
                endReading(reading);
            reading = null;
        }
    });
}
// Its length counts a text's bytes for the progress display: a system is digits, signs,
// points and spaces.
const pasteSystem = (text) => readSystem({ text }, () => runCommand("pasteSystem"));
const openSystem = (file) => readSystem({ file }, () => runCommand("openSystem"));
const heldInput = () => reading?.input ?? null;
