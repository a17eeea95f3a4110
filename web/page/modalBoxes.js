// The modal boxes the program waits for. Each box shown is numbered, so that whoever watches
// the page (a screen reader's script, the browser tests) can tell it from the same box before.
let boxesShown = 0;

// Shows a modal <dialog> until its form closes it (OK gives its field's text; Cancel, Close and
// Esc `dismissed`), or a command's button does where the program says so; `wire` binds the
// rest. The program waits for the answer, so every way out must give one.
function showModal(dialog, focus, dismissed = null, wire = () => {}) {
    return new Promise((resolve) => {
        const controller = new AbortController();
        const signal = controller.signal;
        const finish = (result) => {
            controller.abort();
            dialog.close();
            resolve(result);
        };
        // The close event of the box's previous showing comes late, when it may be open again.
        dialog.addEventListener("close", () => dialog.open || finish(dialog.returnValue === "ok" ?
            dialog.querySelector("input")?.value ?? null : dismissed), { signal });
        dialog.addEventListener("click", ({ target }) => target.dataset.command &&
            callNow("runCommand", target.dataset.command, "") !== null && finish(dismissed),
            { signal });
        wire(finish, signal);
        dialog.returnValue = "";
        dialog.dataset.serial = String(++boxesShown);
        dialog.showModal();
        focus.focus();
    });
}

function modalBox(title, text, icon, input) {
    const dialog = document.getElementById(input ? "inputBox" : "messageBox");
    dialog.querySelector(".title").textContent = title;
    dialog.querySelector(".text").textContent = text;
    // An SVG element has no `hidden` property of its own: the attribute it is.
    for (const shown of dialog.querySelectorAll(".icon"))
        shown.toggleAttribute("hidden", !shown.classList.contains(icon));
    dialog.querySelector("form").reset();
    return showModal(dialog, dialog.querySelector("input, .ok"));
}
