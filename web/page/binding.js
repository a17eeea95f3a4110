// The binding of the window's buttons, the commands' keys, paste, drops and Ctrl+O to the
// program.
function bindWindow() {
    const frame = document.getElementById("frmCholesky");
    const fileInput = document.getElementById("openSystem");
    const loadReader = () => readModule.load().catch(() => {});
    frame.addEventListener("click", ({ target }) =>
        target.matches("button") && run(() => runCommand(target.id)));
    // Neither button answers Enter: Space or a click presses it. Tab goes round the window, as
    // in a desktop window, rather than on to the browser; a box's element changes while it
    // shows a long text, so the ends are found by their ids.
    frame.addEventListener("keydown", (event) => {
        const ends = ["display", "txtVector"].map((id) => document.getElementById(id));
        const [to, from] = event.shiftKey ? ends.reverse() : ends;
        const round = event.key === "Tab" && !(event.altKey || event.ctrlKey || event.metaKey) &&
            document.activeElement === from;
        if (round || (event.key === "Enter" && event.target.matches("button")))
            event.preventDefault();
        if (round)
            to.focus();
    });

    // A command's key is the page's, not the browser's (its open dialog, its inspector), also
    // while the command has nothing to do ("" from the program). Paste System's key pastes a
    // system even into a box, its text coming with the paste event that follows; a plain paste
    // goes into the box that has the focus, as on the desktop.
    let systemPasteKeys = false;
    document.addEventListener("keydown", (event) => {
        const name = callNow("commandOfKey", event.key, event.code, event.ctrlKey || event.metaKey,
            event.shiftKey, event.altKey, event.target.id ?? "");
        systemPasteKeys = name === "pasteSystem";
        if (name === null || systemPasteKeys)
            return;
        event.preventDefault();
        if (name === "openSystem" && !busy) {
            loadReader();
            fileInput.click();
        } else if (name) {
            run(() => runCommand(name, event.target.id));
        }
    });
    document.addEventListener("keyup", () => (systemPasteKeys = false));
    document.addEventListener("paste", (event) => {
        const target = event.target instanceof Element ? event.target : document.body;
        // The input box's field, and a box of the window for a plain paste, take the text; a
        // box's view of a long text takes none.
        if (target.closest("dialog") ||
            (!systemPasteKeys && target.matches("textarea, input, .view")))
            return;
        event.preventDefault();
        pasteSystem(event.clipboardData?.getData("text/plain") ?? "");
    });
    fileInput.addEventListener("change", () => {
        const [file] = fileInput.files;
        fileInput.value = ""; // the same file can be chosen again
        if (file)
            openSystem(file);
    });

    // A drag that starts in the page (text moved within a box) stays the boxes' own. From
    // outside, the window takes one file or a text, and the page nothing: the browser would
    // otherwise open a dropped file in place of the page.
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
                files ? openSystem(data.files[0]) : pasteSystem(data.getData("text/plain"));
        });
    }
    document.documentElement.dataset.ready = "true";
}
