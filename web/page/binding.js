// The window's buttons, the commands' keys, paste, drops and Open System… bound to the program.
function bindWindow() {
    const frame = document.getElementById("frmCholesky");
    const fileInput = document.getElementById("openSystem");
    const loadReader = () => loadModule("lineq-read.js").catch(() => {});
    frame.addEventListener("click", ({ target }) =>
        target.matches("button") && run(() => runCommand(target.id)));
    // Neither button answers Enter, as on the desktop; Tab goes round the window rather than on
    // to the browser (a box's element changes while it shows a long text).
    frame.addEventListener("keydown", (event) => {
        const [first, last] = ["display", "txtVector"].map((id) => document.getElementById(id));
        const round = event.key === "Tab" && !(event.altKey || event.ctrlKey || event.metaKey) &&
            document.activeElement === (event.shiftKey ? first : last);
        if (round || (event.key === "Enter" && event.target.matches("button")))
            event.preventDefault();
        if (round)
            (event.shiftKey ? last : first).focus();
    });

    // A command's key is the page's, not the browser's, also with nothing to do (""). Paste
    // System's text comes with the paste event its key brings, which a box then does not take.
    let systemPaste = false;
    document.addEventListener("keydown", (event) => {
        const name = callNow("commandOfKey", event.key, event.code, event.ctrlKey || event.metaKey,
            event.shiftKey, event.altKey, event.target.id ?? "");
        systemPaste = name === "pasteSystem";
        if (name !== null && !systemPaste)
            event.preventDefault();
        if (name === "openSystem")
            busy() || fileInput.click();
        else if (name && !systemPaste)
            run(() => runCommand(name, event.target.id));
    });
    document.addEventListener("keyup", () => (systemPaste = false));
    // The input box's field, and for a plain paste the box with the focus, take the text.
    document.addEventListener("paste", (event) => {
        if (event.target.closest("dialog") ||
            (!systemPaste && event.target.matches("textarea, input, .view")))
            return;
        event.preventDefault();
        readSystem(event.clipboardData?.getData("text/plain") ?? "");
    });
    fileInput.addEventListener("click", loadReader);
    fileInput.addEventListener("change", () => {
        [...fileInput.files].forEach(readSystem); // the chooser takes one
        fileInput.value = ""; // the same file can be chosen again
    });

    // A drag from the page (text moved within a box) is the boxes'. From outside, the window
    // takes one file or a text, and the page nothing, which the browser would open in its place.
    let dragFromPage = false;
    document.addEventListener("dragstart", () => (dragFromPage = true));
    document.addEventListener("dragend", () => (dragFromPage = false));
    document.addEventListener("dragenter", () => dragFromPage || loadReader());
    for (const type of ["dragover", "drop"]) {
        document.addEventListener(type, (event) => {
            if (dragFromPage)
                return;
            event.preventDefault();
            const data = event.dataTransfer;
            const files = [...data.items].filter((item) => item.kind === "file").length;
            const taken = frame.contains(event.target) &&
                (data.types.includes("Files") ? files === 1 : data.types.includes("text/plain"));
            if (type === "dragover")
                data.dropEffect = taken ? "copy" : "none";
            else if (taken)
                readSystem(files ? data.files[0] : data.getData("text/plain"));
        });
    }
    document.documentElement.dataset.ready = "true";
}
