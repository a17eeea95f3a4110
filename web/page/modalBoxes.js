// The modal boxes the program waits for: a message box and an input box.
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
