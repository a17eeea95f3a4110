// The page's side of the calculator: the modal message and input boxes that the C++ platform
// adapter waits for, and the binding of the window's two buttons to the program.
"use strict";

const lineqPage = (() => {
    // Every box shown gets the next number, so that whoever watches the page (a screen
    // reader's script, the browser tests) can tell a box from the same box shown again.
    let boxesShown = 0;

    // Shows a modal <dialog> and resolves with what `wire`'s finish is given once the box is
    // dismissed.
    function showModal(dialog, focus, wire) {
        return new Promise((resolve) => {
            const controller = new AbortController();
            const finish = (result) => {
                controller.abort();
                dialog.close();
                resolve(result);
            };
            wire(finish, controller.signal);
            dialog.dataset.serial = String(++boxesShown);
            dialog.showModal();
            focus.focus();
        });
    }

    function messageBox(title, text, critical) {
        const dialog = document.getElementById("messageBox");
        dialog.querySelector(".title").textContent = title;
        dialog.querySelector(".text").textContent = text;
        dialog.querySelector(".icon").hidden = !critical;
        const ok = dialog.querySelector("button.ok");
        return showModal(dialog, ok, (finish, signal) => {
            ok.addEventListener("click", () => finish(), { signal });
            // Esc dismisses a box whose only button is OK, as on the desktop.
            dialog.addEventListener("cancel", (event) => {
                event.preventDefault();
                finish();
            }, { signal });
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
        return showModal(dialog, field, (finish, signal) => {
            ok.addEventListener("click", () => finish(field.value), { signal });
            cancel.addEventListener("click", () => finish(null), { signal });
            field.addEventListener("keydown", (event) => {
                if (event.key === "Enter") {
                    event.preventDefault();
                    finish(field.value);
                }
            }, { signal });
            dialog.addEventListener("cancel", (event) => {
                event.preventDefault();
                finish(null);
            }, { signal });
        });
    }

    // One click is handled at a time, to its end, as on the desktop; the boxes are modal, so
    // a second can only come from a script.
    let busy = false;
    async function click(handler) {
        if (busy)
            return;
        busy = true;
        document.documentElement.dataset.busy = "true";
        try {
            await Module.ccall(handler, null, [], [], { async: true });
        } finally {
            busy = false;
            delete document.documentElement.dataset.busy;
        }
    }

    function bindWindow() {
        for (const [id, handler] of [["submit_but", "submitClick"], ["Start", "startClick"]]) {
            const button = document.getElementById(id);
            button.addEventListener("click", () => click(handler));
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
        document.documentElement.dataset.ready = "true";
    }

    return { messageBox, inputBox, bindWindow };
})();

var Module = {
    onRuntimeInitialized: lineqPage.bindWindow,
};
