// Save System and Save Results: the browser's download of the program's text. Save System
// hands it over a line at a time (DownloadLines), gathered into a Blob at each of the
// browser's turns, so that no one task copies all of it (178 MB at 3000 equations).
let downloadPieces = [];
function downloadPiece(bytes, turn) {
    downloadPieces.push(bytes);
    if (turn) {
        downloadPieces = [new Blob(downloadPieces)];
        longWork?.waiting();
    }
}
function finishDownload(name, type, whole) {
    if (whole) {
        const link = document.createElement("a");
        link.href = URL.createObjectURL(new Blob(downloadPieces, { type }));
        link.download = name;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }
    downloadPieces = [];
}
