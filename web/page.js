// The page's side of the calculator: the modal message and input boxes that the C++ platform
// adapter waits for, the accuracy view, and the binding of the window's two buttons, of paste,
// drops and the declared commands' keys to the program.
"use strict";

const lineqPage = (() => {
    // Every box shown gets the next number, so that whoever watches the page (a screen
    // reader's script, the browser tests) can tell a box from the same box shown again.
    let boxesShown = 0;

    // Shows a modal <dialog> and resolves with what `wire`'s finish is given once the box is
    // answered; Esc, or the browser closing the box by itself, gives `dismissed`. The program
    // waits for the answer, so every way out of the box must give one.
    function showModal(dialog, focus, dismissed, wire) {
        return new Promise((resolve) => {
            const controller = new AbortController();
            const finish = (result) => {
                controller.abort();
                dialog.close();
                resolve(result);
            };
            const signal = controller.signal;
            dialog.addEventListener("cancel", (event) => {
                event.preventDefault();
                finish(dismissed);
            }, { signal });
            // The close event of the box's previous showing comes late, when the box may be
            // open again already.
            dialog.addEventListener("close", () => {
                if (!dialog.open)
                    finish(dismissed);
            }, { signal });
            wire(finish, signal);
            dialog.dataset.serial = String(++boxesShown);
            dialog.showModal();
            focus.focus();
        });
    }

    // `icon`: "error", "warning", or "" for none.
    function messageBox(title, text, icon) {
        const dialog = document.getElementById("messageBox");
        dialog.querySelector(".title").textContent = title;
        dialog.querySelector(".text").textContent = text;
        // An SVG element has no `hidden` property of its own: the attribute it is.
        for (const shown of dialog.querySelectorAll(".icon"))
            shown.toggleAttribute("hidden", !shown.classList.contains(icon));
        const ok = dialog.querySelector("button.ok");
        // Esc dismisses a box whose only button is OK, as on the desktop.
        return showModal(dialog, ok, undefined, (finish, signal) => {
            ok.addEventListener("click", () => finish(), { signal });
        });
    }

    // Resolves with the text typed, or null when the box was cancelled.
    function inputBox(title, prompt) {
        const dialog = document.getElementById("inputBox");
        dialog.querySelector(".title").textContent = title;
        dialog.querySelector(".text").textContent = prompt;
        const field = dialog.querySelector("input");
        field.value = "";
        const ok = dialog.querySelector("button.ok");
        const cancel = dialog.querySelector("button.cancel");
        return showModal(dialog, field, null, (finish, signal) => {
            ok.addEventListener("click", () => finish(field.value), { signal });
            cancel.addEventListener("click", () => finish(null), { signal });
            field.addEventListener("keydown", (event) => {
                if (event.key === "Enter") {
                    event.preventDefault();
                    finish(field.value);
                }
            }, { signal });
        });
    }

    // Puts `text` on the clipboard. The page holds no permission: where the browser refuses
    // its clipboard API (an older one, or a page without the focus), the text is copied as a
    // selection is.
    async function copyText(text) {
        try {
            await navigator.clipboard.writeText(text);
        } catch {
            // Beside an open modal box the page is inert, and a selection there copies nothing.
            const focused = document.activeElement;
            const scratch = document.createElement("textarea");
            scratch.value = text;
            (document.querySelector("dialog[open]") ?? document.body).appendChild(scratch);
            scratch.select();
            document.execCommand("copy");
            scratch.remove();
            focused?.focus();
        }
    }

    // The accuracy view of the last Calculate, its text the program's; resolves once closed,
    // with "exact" when closed by Compute Exact Solution, and not before its copies have
    // reached the clipboard. The focus starts in the text, so that the keys select and copy it.
    // Its commands' buttons are enabled as the program says when it opens.
    async function accuracyView(text) {
        const dialog = document.getElementById("accuracyView");
        const report = dialog.querySelector(".text");
        report.value = text;
        report.setSelectionRange(0, 0);
        report.scrollTop = 0;
        const close = dialog.querySelector("button.close");
        const enabled = enabledCommands();
        let copies = Promise.resolve();
        const copy = (textOf) => () => {
            copies = Promise.all([copies, copyText(textOf())]);
        };
        const ending = await showModal(dialog, report, undefined, (finish, signal) => {
            const actions = {
                copyText: copy(() => report.value),
                copyTable: copy(() => ask("accuracyTable")),
                computeExact: () => finish("exact"),
            };
            for (const button of dialog.querySelectorAll("button[data-command]")) {
                const name = button.dataset.command;
                button.disabled = !enabled.has(name);
                button.addEventListener("click", () => {
                    if (!button.disabled)
                        actions[name]();
                }, { signal });
            }
            close.addEventListener("click", () => finish(), { signal });
        });
        await copies;
        return ending;
    }

    // One command (a click, a paste, an open or a drop) is handled at a time, to its end, as
    // on the desktop; the boxes are modal, so a second can only come from a script or from
    // the keyboard and the clipboard, which the page guards itself.
    let busy = false;
    async function run(command) {
        if (busy)
            return;
        busy = true;
        document.documentElement.dataset.busy = "true";
        try {
            await command();
        } finally {
            busy = false;
            delete document.documentElement.dataset.busy;
        }
    }
    const call = (handler, ...args) => Module.ccall(handler, null, args.map(() => "string"),
        args, { async: true });
    // A text the program builds, or null when it has none (ccall gives a null pointer as the
    // empty text); it shows no box meanwhile.
    const ask = (query, ...args) =>
        Module.ccall(query, "string", args.map(() => "string"), args) || null;

    // The commands as the program declares them (written into the page at build time), and
    // which of them have something to do now; a result box's for the box with `boxId`.
    const commands = JSON.parse(document.getElementById("commands").textContent);
    const enabledCommands = (boxId = "") =>
        new Set((ask("enabledCommands", boxId) ?? "").split(" "));
    const resultBoxId = (target) =>
        target instanceof Element && target.matches("[data-result-box]") ? target.id : "";

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

    // A text pasted or dropped waits here until the program takes it (it may be too long to
    // pass as an argument).
    let systemText = "";
    function takeSystemText() {
        const text = systemText;
        systemText = "";
        return text;
    }
    function pasteSystem(text) {
        run(() => {
            systemText = text;
            return call("pasteSystem");
        });
    }

    // The program reads a file by its path: the file's bytes go into its memory file system
    // under the name the user chose, so that the messages name it as the desktop's do.
    function openSystem(file) {
        run(async () => {
            let bytes;
            try {
                bytes = new Uint8Array(await file.arrayBuffer());
            } catch {
                return call("refuseSystemFile", file.name);
            }
            const folder = "/opened";
            if (!Module.FS.analyzePath(folder).exists)
                Module.FS.mkdir(folder);
            // A name from the browser never holds a slash; one from a script might.
            const path = `${folder}/${file.name.replaceAll("/", "_") || "_"}`;
            Module.FS.writeFile(path, bytes, { canOwn: true });
            try {
                await call("openSystem", path);
            } finally {
                Module.FS.unlink(path);
            }
        });
    }

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
            // The input box's field, and a box of the window for a plain paste, take the text.
            if (target.closest("dialog") || (!systemPasteKeys && target.matches("textarea, input")))
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
            accuracy: () => run(async () => {
                let report = ask("accuracyText");
                // The view shows again with the exact solution once it is computed.
                while (report !== null && await accuracyView(report) === "exact") {
                    await Module.ccall("computeExact", "number", [], [], { async: true });
                    report = ask("accuracyText");
                }
            }),
            copySolution: (box) => run(async () => {
                const solution = ask("solutionText", box);
                if (solution !== null)
                    await copyText(solution);
            }),
            openSystem: () => fileInput.click(),
        };
        document.addEventListener("keydown", (event) => {
            const command = commandOfKey(event);
            // The browser's paste event brings Paste System its text.
            if (!command || !(command.name in actions))
                return;
            event.preventDefault();
            const box = resultBoxId(event.target);
            if (!busy && enabledCommands(box).has(command.name))
                actions[command.name](box);
        });
    }

    function bindWindow() {
        for (const [id, handler] of [["submit_but", "submitClick"], ["Start", "startClick"]]) {
            const button = document.getElementById(id);
            button.addEventListener("click", () => run(() => call(handler)));
            // Neither button answers Enter: Space or a click presses it.
            button.addEventListener("keydown", (event) => {
                if (event.key === "Enter")
                    event.preventDefault();
            });
        }
        // Tab goes round the window, as in a desktop window, rather than on to the browser.
        const first = document.getElementById("display");
        const last = document.getElementById("txtVector");
        document.getElementById("frmCholesky").addEventListener("keydown", (event) => {
            if (event.key !== "Tab" || event.altKey || event.ctrlKey || event.metaKey)
                return;
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

    return { messageBox, inputBox, takeSystemText, bindWindow };
})();

var Module = {
    onRuntimeInitialized: lineqPage.bindWindow,
};
