// The page's Workers (web/WebWorkers.cpp): a module's script (lineq-read.js, lineq-exact.js) is
// loaded the first time the program asks for it, never at page load, and hands over the module's
// text (moduleLoaded), from which a Worker is made by Blob URL: a page opened from a file can
// start one no other way. A failed load is tried again at the next request.
const moduleTexts = {};
const moduleUrls = {};
const moduleLoaded = (script, text) => { moduleTexts[script] = text; };
function moduleUrl(script) {
    moduleUrls[script] ??= new Promise((resolve, reject) => {
        const element = document.createElement("script");
        element.src = script;
        element.onload = () => resolve(URL.createObjectURL(new Blob([moduleTexts[script]],
            { type: "text/javascript" })));
        element.onerror = () => {
            delete moduleUrls[script];
            element.remove();
            reject(new Error(`cannot load ${script}`));
        };
        document.head.appendChild(element);
    });
    return moduleUrls[script];
}
// The reading module, loaded ahead as a drag enters the window or Open System… is chosen.
const readModule = { load: () => moduleUrl("lineq-read.js") };

// The one request that runs: its Worker, made for it and ended at its answer or its cancel
// (and with it the memory it holds), and the events the program has yet to take.
let request = null;
function arrive(current, event) {
    if (current === null || current.ended)
        return;
    // Only the latest progress counts.
    if (event.kind === "progress" && current.events.at(-1)?.kind === "progress")
        current.events.pop();
    current.events.push(event);
    if (event.kind !== "progress") {
        current.ended = true;
        current.worker?.terminate();
    }
    current.wake?.();
}
// `input`: a text, or null for the input the page holds (heldInput); `option` is the module's.
function startWorker(script, input, option) {
    const current = request = { events: [] };
    moduleUrl(script).then((url) => {
        if (current.ended)
            return;
        current.worker = new Worker(url);
        current.worker.onmessage = (message) => arrive(current, message.data);
        current.worker.onerror = (error) => {
            error.preventDefault();
            arrive(current, { kind: "failed", text: error.message });
        };
        current.worker.postMessage({ input: input ?? held, option });
        document.getElementById("progressBox").dataset.state = "running";
    }, (error) => arrive(current, { kind: "failed", text: error.message }));
}
// The next event as JSON, its arrays left for copyEventBytes; `showNow`: the progress box shows
// at once rather than after the quiet time.
async function nextWorkerEvent(showNow) {
    const current = request;
    longWork?.waiting(showNow);
    while (current.events.length === 0)
        await new Promise((wake) => { current.wake = wake; });
    current.event = current.events.shift();
    return JSON.stringify({ ...current.event, arrays: undefined });
}
const workerEvent = () => request.event;

// Paste System's text or Open System…'s File, held for the program's reading while the
// command runs. A text's length counts its bytes for the progress display: a system is
// digits, signs, points and spaces.
let held = null;
const heldInput = () => held;
function readSystem(input, command) {
    run(async () => {
        held = input;
        try {
            await command();
        } finally {
            held = null;
        }
    });
}
const pasteSystem = (text) => readSystem(text, () => runCommand("pasteSystem"));
const openSystem = (file) => readSystem(file, () => runCommand("openSystem"));
