// The long work that runs (WebPlatform::runLong), with its status in the program's memory, and
// the one progress box, as the desktop's progress dialog shows it: the program's line, how far
// where the work counts (a busy bar where it does not), and Cancel (or Esc), which sets the
// status's cancel and ends the Worker's request. Work that waits (a reading, a download, the
// exact solve) shows the box once it has run for the quiet time, or at once where it asks; the
// box stays until the work has stopped.
let longWork = null;
function beginLongWork(status) {
    const started = performance.now();
    const dialog = document.getElementById("progressBox");
    const [line, bar, button] = [".text", "progress", "button.cancel"].map((part) =>
        dialog.querySelector(part));
    const refresh = () => {
        const [done, total] = [HEAP32[status.done >> 2], HEAP32[status.total >> 2]];
        bar.max = Math.max(total, 1);
        if (total > 0)
            bar.value = Math.min(done, total);
        else
            bar.removeAttribute("value");
        line.textContent = callNow("progressText", performance.now() - started);
    };
    const cancel = (event) => {
        event?.preventDefault();
        if (HEAPU8[status.cancel] === 0) {
            HEAPU8[status.cancel] = 1;
            arrive(request, { kind: "cancelled" });
        }
        button.disabled = true;
        refresh();
    };
    let showing = null;
    let refreshing = null;
    const show = () => {
        dialog.querySelector(".title").textContent = status.title;
        button.disabled = HEAPU8[status.cancel] !== 0;
        button.onclick = dialog.oncancel = cancel;
        refresh();
        dialog.showModal();
        button.focus();
        refreshing = setInterval(refresh, 100);
    };
    delete dialog.dataset.state;
    longWork = {
        waiting(showNow) {
            showing ??= setTimeout(show, showNow ? 0 : started + status.quietMs - performance.now());
        },
        end() {
            clearTimeout(showing);
            clearInterval(refreshing);
            button.onclick = dialog.oncancel = null;
            if (dialog.open)
                dialog.close();
            arrive(request, { kind: "cancelled" });
        },
    };
}
function endLongWork() {
    longWork?.end();
    longWork = null;
}
