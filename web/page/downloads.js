// Save System's and Save Results' download: the text comes a piece at a time, gathered into a
// Blob at each of the browser's turns, so that no one task copies all of it (178 MB at n = 3000).
let downloadPieces = [];
function downloadPiece(bytes, turn) {
    downloadPieces.push(bytes);
    if (turn)
        downloadPieces = [new Blob(downloadPieces)];
    longWork?.waiting();
}
function finishDownload(name, type, whole) {
    if (whole) {
        const href = URL.createObjectURL(new Blob(downloadPieces, { type }));
        Object.assign(document.createElement("a"), { href, download: name }).click();
        setTimeout(() => URL.revokeObjectURL(href), 60000);
    }
    downloadPieces = [];
}
