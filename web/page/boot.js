// What the program's platform adapter and the Workers' scripts reach of the page.
var lineqPage = { modalBox, setBoxText, setBoxLines, startReading, nextReadEvent, readEvent,
    beginLongWork, endLongWork, downloadPiece, finishDownload, copyText, heldInput,
    accuracyView, stepsView };
// lineq-read.js hands the reading module over here.
var lineqRead = { moduleLoaded: readModule.arrived };
var Module = { onRuntimeInitialized: bindWindow };
