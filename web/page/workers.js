// The page's Workers (web/WebWorkers.cpp): a module's script, loaded when first asked for (again
// after a failure), hands over the Workers' script, for a Blob URL, a file page's only way to a
// Worker, and the compilation of its WebAssembly, which every Worker of the module is given.
const modules = {};
const arrivals = {};
const moduleLoaded = (script, text, compiled) => arrivals[script](compiled.then((module) =>
    ({ url: URL.createObjectURL(new Blob([text], { type: "text/javascript" })), module })));
function loadModule(script) {
    return modules[script] ??= new Promise((resolve, reject) => {
        arrivals[script] = resolve;
        const element = document.head.appendChild(document.createElement("script"));
        element.onerror = () => {
            delete modules[script];
            element.remove();
            reject(new Error(`cannot load ${script}`));
        };
        element.src = script;
    });
}

// The one request that runs: its Worker, ended (with the memory it holds) at the answer or a
// cancel, and the events the program has yet to take.
let request = null;
function arrive(current, event) {
    if (!current || current.ended)
        return;
    current.events.push(event);
    current.ended = event.kind !== "progress";
    if (current.ended)
        current.worker?.terminate();
    current.wake?.();
}
// `input`: a text, or null for the input the page holds; `option`: the module's.
function startWorker(script, input, option) {
    const current = request = { events: [] };
    loadModule(script).then(({ url, module }) => {
        if (current.ended)
            return;
        current.worker = new Worker(url);
        current.worker.onmessage = (message) => arrive(current, message.data);
        current.worker.onerror = (error) => {
            error.preventDefault();
            arrive(current, { kind: "failed", text: error.message });
        };
        current.worker.postMessage({ wasm: module, input: input ?? held, option });
        document.getElementById("progressBox").dataset.state = "running";
    }, (error) => arrive(current, { kind: "failed", text: error.message }));
}
// The next event as JSON, its arrays left for the program to copy (workerEvent); a text from
// the browser (an error's message) may hold a lone surrogate, which is no JSON the program reads.
async function nextWorkerEvent(showNow) {
    longWork?.waiting(showNow);
    while (request.events.length === 0)
        await new Promise((wake) => { request.wake = wake; });
    request.event = request.events.shift();
    const text = request.event.text?.toWellFormed();
    return JSON.stringify({ ...request.event, arrays: undefined, text });
}
const workerEvent = () => request.event;

// A text for Paste System or a File for Open System…, held while the command reads it.
let held = null;
const heldInput = () => held;
const readSystem = (input) => run(() => {
    held = input;
    return runCommand(typeof input === "string" ? "pasteSystem" : "openSystem")
        .finally(() => { held = null; });
});
