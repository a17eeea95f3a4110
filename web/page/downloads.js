// Save System and Save Results: the program's text as the browser's download, handed over a
// piece at a time and gathered into a Blob at each of the browser's turns, so that no one task
// copies all of it (178 MB at 3000 equations). A download not whole is dropped.
let downloadPieces = [];
function downloadPiece(bytes, turn) {
    downloadPieces.push(bytes);
    if (turn)
        downloadPieces = [new Blob(downloadPieces)];
    longWork?.waiting();
}
function finishDownload(name, type, whole) {
    const href = whole && URL.createObjectURL(new Blob(downloadPieces, { type }));
    downloadPieces = [];
    if (href) {
        Object.assign(document.createElement("a"), { href, download: name }).click();
        setTimeout(() => URL.revokeObjectURL(href), 60000);
    }
}
