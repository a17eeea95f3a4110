// The one progress box, as the desktop's progress dialog shows long work: what runs, how far
// where the work counts, and Cancel (or Esc), which asks the work to stop.

// Opens the box: `title`, `text()` its line and `count()` [done, total] (none: no bar), both
// asked again every 100 ms; `cancel` is called once, at Cancel or Esc. close() ends it.
function openProgress({ title, text, count, cancel }) {
    const dialog = document.getElementById("progressBox");
    const line = dialog.querySelector(".text");
    const bar = dialog.querySelector("progress");
    const button = dialog.querySelector("button.cancel");
    const refresh = () => {
        const [done, total] = count?.() ?? [0, 0];
        bar.max = Math.max(total, 1);
        if (total > 0)
            bar.value = Math.min(done, total);
        else
            bar.removeAttribute("value");
        line.textContent = text();
    };
    const requestCancel = (event) => {
        event?.preventDefault();
        if (button.disabled)
            return;
        button.disabled = true;
        cancel();
        if (dialog.open)
            refresh();
    };
    dialog.querySelector(".title").textContent = title;
    bar.hidden = count === undefined;
    button.disabled = false;
    button.onclick = requestCancel;
    dialog.oncancel = requestCancel;
    refresh();
    dialog.showModal();
    button.focus();
    const refreshing = setInterval(refresh, 100);
    return {
        dialog,
        close() {
            clearInterval(refreshing);
            button.onclick = null;
            dialog.oncancel = null;
            if (dialog.open)
                dialog.close();
        },
    };
}

// The long work that runs (WebPlatform::runLong), with its status in the program's memory.
// Work that waits (a reading) shows the box once it has run for the quiet time, as on the
// desktop, with the program's line; the box stays until the work has stopped.
let longWork = null;
function beginLongWork(status) {
    const started = performance.now();
    const cancelled = () => HEAPU8[status.cancel] !== 0;
    let showing = null;
    let box = null;
    const show = () => {
        box = openProgress({
            title: status.title,
            text: () => callNow("progressText", performance.now() - started),
            count: () => [HEAP32[status.done >> 2], HEAP32[status.total >> 2]],
            cancel: () => {
                HEAPU8[status.cancel] = 1;
                reading?.cancel?.();
            },
        });
        box.dialog.querySelector("button.cancel").disabled = cancelled();
    };
    longWork = {
        // The work waits for the page's turn: the box shows once the quiet time is over.
        waiting() {
            if (showing === null && box === null)
                showing = setTimeout(show, Math.max(0, started + status.quietMs -
                    performance.now()));
        },
        end() {
            clearTimeout(showing);
            box?.close();
        },
    };
}
function endLongWork() {
    longWork?.end();
    longWork = null;
}
