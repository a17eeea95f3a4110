// The page's side of the calculator: the modal message and input boxes that the C++ platform
// adapter waits for, the accuracy view, and the binding of the window's two buttons, of paste,
// Ctrl+O, drops and the result boxes' commands to the program.
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
    async function accuracyView(text) {
        const dialog = document.getElementById("accuracyView");
        const report = dialog.querySelector(".text");
        report.value = text;
        report.setSelectionRange(0, 0);
        report.scrollTop = 0;
        const copy = dialog.querySelector("button.copy");
        const copyTable = dialog.querySelector("button.copyTable");
        const close = dialog.querySelector("button.close");
        const exact = dialog.querySelector("button.exact");
        let copies = Promise.resolve();
        const copyOnClick = (button, textOf, signal) => button.addEventListener("click", () => {
            copies = Promise.all([copies, copyText(textOf())]);
        }, { signal });
        const ending = await showModal(dialog, report, undefined, (finish, signal) => {
            exact.addEventListener("click", () => finish("exact"), { signal });
            copyOnClick(copy, () => report.value, signal);
            copyOnClick(copyTable, () => ask("accuracyTable"), signal);
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

    // Ctrl+Shift+V (Cmd on a Mac) pastes a system even into a box; a plain paste goes into
    // the box that has the focus, as on the desktop.
    let systemPasteKeys = false;
    const isShortcut = (event, key, shift) => (event.ctrlKey || event.metaKey) &&
        event.shiftKey === shift && !event.altKey &&
        (event.key?.toLowerCase() === key || event.code === `Key${key.toUpperCase()}`);

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
            systemPasteKeys = isShortcut(event, "v", true);
            if (isShortcut(event, "o", false)) {
                event.preventDefault(); // not the browser's own open dialog
                if (!busy)
                    fileInput.click();
            }
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

    // The result boxes' commands, where the desktop has them in their context menus: the
    // page leaves the browser its own menu there. Ctrl+I anywhere in the page opens the
    // accuracy view; Ctrl+Shift+C in a result box copies its method's solution, the doubles
    // themselves rather than the box's text.
    function bindResults() {
        const results = ["txtGauss", "txtCholesky"];
        document.addEventListener("keydown", (event) => {
            if (isShortcut(event, "i", false)) {
                event.preventDefault();
                run(async () => {
                    let report = ask("accuracyText");
                    // The view shows again with the exact solution once it is computed.
                    while (report !== null && await accuracyView(report) === "exact") {
                        await Module.ccall("computeExact", "number", [], [], { async: true });
                        report = ask("accuracyText");
                    }
                });
            } else if (isShortcut(event, "c", true) && results.includes(event.target.id)) {
                event.preventDefault(); // not the browser's inspector
                run(async () => {
                    const solution = ask("solutionText", event.target.id);
                    if (solution !== null)
                        await copyText(solution);
                });
            }
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
        bindResults();
        document.documentElement.dataset.ready = "true";
    }

    return { messageBox, inputBox, takeSystemText, bindWindow };
})();

var Module = {
    onRuntimeInitialized: lineqPage.bindWindow,
};
