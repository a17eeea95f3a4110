// What the program's platform adapter and the Workers' scripts reach of the page.
var lineqPage = { answer, commandEnded, modalBox, setBoxText, setBoxLines, startWorker,
    nextWorkerEvent, workerEvent, moduleLoaded, beginLongWork, endLongWork, downloadPiece,
    finishDownload, copyText, heldInput, showView, refillView };
// The program's WebAssembly, compiled by lineq-wasm.js as soon as that arrived (index.html), is
// instantiated here once both are in. (The script's id is no identifier, so that the element is
// never taken for the variable.)
const compiledProgram = () => typeof lineqWasm !== "undefined" ? lineqWasm :
    new Promise((resolve, reject) => {
        const script = document.getElementById("lineq-wasm");
        script.addEventListener("load", () => resolve(lineqWasm));
        script.addEventListener("error", () => reject(new Error("cannot load lineq-wasm.js")));
    });
var Module = {
    onRuntimeInitialized: bindWindow,
    instantiateWasm(imports, receive) {
        compiledProgram().then(async (module) =>
            receive(await WebAssembly.instantiate(module, imports), module)).catch(abort);
        return {};
    },
};
