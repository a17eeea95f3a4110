// What the program's platform adapter and the Workers' scripts reach of the page.
var lineqPage = { modalBox, setBoxText, setBoxLines, startWorker, nextWorkerEvent, workerEvent,
    moduleLoaded, beginLongWork, endLongWork, downloadPiece, finishDownload, copyText,
    heldInput, accuracyView, stepsView };
var Module = { onRuntimeInitialized: bindWindow };
