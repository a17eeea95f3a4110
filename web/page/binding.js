// The binding of the window's buttons, the commands' keys, paste, drops and Ctrl+O to the
// program.

// "Ctrl+Shift+C": Ctrl is Cmd on a Mac; the other modifiers must be as named.
function matchesShortcut(event, shortcut) {
    if (!shortcut)
        return false;
    const parts = shortcut.split("+");
    const key = parts.pop().toLowerCase();
    return (event.ctrlKey || event.metaKey) === parts.includes("Ctrl") &&
        event.shiftKey === parts.includes("Shift") && event.altKey === parts.includes("Alt") &&
        (event.key?.toLowerCase() === key || event.code === `Key${key.toUpperCase()}`);
}
// The command whose key this is where it was pressed, or undefined.
const commandOfKey = (event) => commands.find((command) => matchesShortcut(event,
    command.shortcut) && (command.scope === "window" || resultBoxId(event.target) !== ""));

// Paste System's key (Cmd for Ctrl on a Mac) pastes a system even into a box; a plain
// paste goes into the box that has the focus, as on the desktop.
let systemPasteKeys = false;

function bindSystemInput() {
    const frame = document.getElementById("frmCholesky");
    const fileInput = document.getElementById("openSystem");
    fileInput.addEventListener("change", () => {
        const [file] = fileInput.files;
        fileInput.value = ""; // the same file can be chosen again
        if (file)
            openSystem(file);
    });
    document.addEventListener("keydown", (event) => {
        systemPasteKeys = commandOfKey(event)?.name === "pasteSystem";
    });
    document.addEventListener("keyup", () => {
        systemPasteKeys = false;
    });
    document.addEventListener("paste", (event) => {
        const target = event.target instanceof Element ? event.target : document.body;
        // The input box's field, and a box of the window for a plain paste, take the text; a
        // box's view of a long text takes none.
        if (target.closest("dialog") ||
            (!systemPasteKeys && target.matches("textarea, input, .view")))
            return;
        event.preventDefault();
        if (!busy && enabledCommands().has("pasteSystem"))
            pasteSystem(event.clipboardData?.getData("text/plain") ?? "");
    });

    // A drag that starts in the page (text moved within a box) stays the boxes' own. From
    // outside, the window takes one file or a text, and the page nothing: the browser
    // would otherwise open a dropped file in place of the page.
    let dragFromPage = false;
    document.addEventListener("dragstart", () => {
        dragFromPage = true;
    });
    document.addEventListener("dragend", () => {
        dragFromPage = false;
    });
    const droppable = (event) => {
        const data = event.dataTransfer;
        if (!frame.contains(event.target) || data === null)
            return false;
        if (data.types.includes("Files"))
            return [...data.items].filter((item) => item.kind === "file").length === 1;
        return data.types.includes("text/plain");
    };
    document.addEventListener("dragenter", () => {
        if (!dragFromPage)
            readModule.load().catch(() => {});
    });
    document.addEventListener("dragover", (event) => {
        if (dragFromPage)
            return;
        event.preventDefault();
        event.dataTransfer.dropEffect = droppable(event) ? "copy" : "none";
    });
    document.addEventListener("drop", (event) => {
        if (dragFromPage)
            return;
        event.preventDefault();
        if (!droppable(event))
            return;
        const data = event.dataTransfer;
        if (data.files.length === 1)
            openSystem(data.files[0]);
        else
            pasteSystem(data.getData("text/plain"));
    });
}

// The commands' keys. The result boxes' commands, where the desktop has them in their
// context menus: the page leaves the browser its own menu there. Accuracy… anywhere in the
// page opens the accuracy view; Copy Solution in a result box copies its method's solution,
// the doubles themselves rather than the box's text. A command's key is the page's, not
// the browser's (its open dialog, its inspector), also while the command has nothing to do.
function bindCommandKeys() {
    const fileInput = document.getElementById("openSystem");
    const actions = {
        openSystem: () => {
            readModule.load().catch(() => {});
            fileInput.click();
        },
    };
    const runOf = (name) => actions[name] ?? ((box) => run(() => runCommand(name, box)));
    document.addEventListener("keydown", (event) => {
        const command = commandOfKey(event);
        // The browser's paste event brings Paste System its text.
        if (!command || command.name === "pasteSystem")
            return;
        event.preventDefault();
        const box = resultBoxId(event.target);
        if (!busy && enabledCommands(box).has(command.name))
            runOf(command.name)(box);
    });
}

function bindWindow() {
    for (const id of ["submit_but", "Start"]) {
        const button = document.getElementById(id);
        button.addEventListener("click", () => run(() => call("pressButton", id)));
        // Neither button answers Enter: Space or a click presses it.
        button.addEventListener("keydown", (event) => {
            if (event.key === "Enter")
                event.preventDefault();
        });
    }
    // Tab goes round the window, as in a desktop window, rather than on to the browser. A
    // box's element changes while it shows a long text: they are found by their ids.
    document.getElementById("frmCholesky").addEventListener("keydown", (event) => {
        if (event.key !== "Tab" || event.altKey || event.ctrlKey || event.metaKey)
            return;
        const first = document.getElementById("display");
        const last = document.getElementById("txtVector");
        const [from, to] = event.shiftKey ? [first, last] : [last, first];
        if (document.activeElement === from) {
            event.preventDefault();
            to.focus();
        }
    });
    bindSystemInput();
    bindCommandKeys();
    document.documentElement.dataset.ready = "true";
}
