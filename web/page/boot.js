// What the program's platform adapter and the Workers' scripts reach of the page; lineq-read.js
// hands the reading module over to lineqRead.
var lineqPage = { modalBox, setBoxText, setBoxLines, startReading, nextReadEvent, readEvent,
    beginLongWork, endLongWork, downloadPiece, finishDownload, copyText, heldInput,
    accuracyView, stepsView };
var lineqRead = { moduleLoaded: readModule.arrived };
var Module = { onRuntimeInitialized: bindWindow };
