// The progress box of the long work that runs.

// The long work that runs (WebPlatform::runLong), with its status in the program's memory.
// Work that waits (a reading) shows it once it has run for the quiet time, as the desktop's
// progress dialog does: what runs, how far, the time so far, and Cancel (or Esc), which
// asks the work to stop; the box stays until it has.
let longWork = null;
function beginLongWork(status) {
    const dialog = document.getElementById("progressBox");
    const text = dialog.querySelector(".text");
    const bar = dialog.querySelector("progress");
    const cancel = dialog.querySelector("button.cancel");
    const started = performance.now();
    let showing = null;
    let refreshing = null;
    const cancelled = () => HEAPU8[status.cancel] !== 0;
    const refresh = () => {
        const done = HEAP32[status.done >> 2];
        const total = HEAP32[status.total >> 2];
        bar.max = Math.max(total, 1);
        if (total > 0)
            bar.value = Math.min(done, total);
        else
            bar.removeAttribute("value");
        text.textContent = callNow("progressText", performance.now() - started);
    };
    const requestCancel = () => {
        HEAPU8[status.cancel] = 1;
        cancel.disabled = true;
        refresh();
        reading?.cancel?.();
    };
    const onCancel = (event) => {
        event.preventDefault();
        requestCancel();
    };
    const show = () => {
        showing = null;
        cancel.disabled = cancelled();
        refresh();
        cancel.onclick = requestCancel;
        dialog.addEventListener("cancel", onCancel);
        dialog.showModal();
        cancel.focus();
        refreshing = setInterval(refresh, 100);
    };
    longWork = {
        // The work waits for the page's turn: the box shows once the quiet time is over.
        waiting() {
            if (showing === null && !dialog.open)
                showing = setTimeout(show, Math.max(0, started + status.quietMs -
                    performance.now()));
        },
        end() {
            clearTimeout(showing);
            clearInterval(refreshing);
            dialog.removeEventListener("cancel", onCancel);
            if (dialog.open)
                dialog.close();
        },
    };
}
function endLongWork() {
    longWork?.end();
    longWork = null;
}
