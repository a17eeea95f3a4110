// The page's side of the calculator, as the C++ platform adapter and the Workers' scripts
// reach it, started once the program has loaded.
var lineqPage = { messageBox, inputBox, setBoxText, setBoxLines, startWorker, nextWorkerEvent,
    workerEvent, moduleLoaded, beginLongWork, endLongWork, downloadPiece, finishDownload,
    copyText, heldInput, accuracyView, stepsView };

var Module = {
    onRuntimeInitialized: bindWindow,
};
