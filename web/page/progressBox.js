// The long work that runs (WebPlatform::runLong) in the one progress box, as the desktop's: the
// program's line, a bar, Cancel or Esc; shown after the quiet time, or at once where asked.
let longWork = null;
function beginLongWork(status) {
    const started = performance.now();
    const dialog = document.getElementById("progressBox");
    const [line, bar, button] = [".text", "progress", "button.cancel"].map((part) =>
        dialog.querySelector(part));
    const refresh = () => {
        const total = HEAP32[status.total >> 2];
        if (total > 0)
            Object.assign(bar, { max: total, value: Math.min(HEAP32[status.done >> 2], total) });
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
    let timer = null;
    delete dialog.dataset.state;
    longWork = {
        waiting(showNow) {
            timer ??= setTimeout(() => {
                button.onclick = dialog.oncancel = cancel;
                refresh();
                dialog.showModal();
                button.focus();
                timer = setInterval(refresh, 100);
            }, showNow ? 0 : started + status.quietMs - performance.now());
        },
        end() {
            clearInterval(timer);
            dialog.close();
            arrive(request, { kind: "cancelled" });
            longWork = null;
        },
    };
}
const endLongWork = () => longWork?.end();
