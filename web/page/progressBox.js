// The long work that runs (WebPlatform::runLong), its status in the program's memory, and the
// one progress box, as the desktop's progress dialog: the program's line, a bar (busy where the
// work counts nothing) and Cancel or Esc, which sets the status's cancel and ends the Worker's
// request. Work that waits shows it once it has run for the quiet time, or at once where it
// asks; the box stays until the work has stopped.
let longWork = null;
function beginLongWork(status) {
    const started = performance.now();
    const dialog = document.getElementById("progressBox");
    const [title, line, bar, button] = [".title", ".text", "progress", "button.cancel"]
        .map((part) => dialog.querySelector(part));
    const refresh = () => {
        const total = HEAP32[status.total >> 2];
        bar.max = Math.max(total, 1);
        if (total > 0)
            bar.value = Math.min(HEAP32[status.done >> 2], total);
        else
            bar.removeAttribute("value");
        line.textContent = callNow("progressText", performance.now() - started);
        button.disabled = HEAPU8[status.cancel] !== 0;
    };
    const cancel = (event) => {
        event?.preventDefault();
        HEAPU8[status.cancel] = 1;
        arrive(request, { kind: "cancelled" });
        refresh();
    };
    let showing = null;
    let refreshing = null;
    delete dialog.dataset.state;
    longWork = {
        waiting(showNow) {
            showing ??= setTimeout(() => {
                title.textContent = status.title;
                button.onclick = dialog.oncancel = cancel;
                refresh();
                dialog.showModal();
                button.focus();
                refreshing = setInterval(refresh, 100);
            }, showNow ? 0 : started + status.quietMs - performance.now());
        },
        end() {
            clearTimeout(showing);
            clearInterval(refreshing);
            button.onclick = dialog.oncancel = null;
            dialog.close();
            arrive(request, { kind: "cancelled" });
            longWork = null;
        },
    };
}
const endLongWork = () => longWork?.end();
