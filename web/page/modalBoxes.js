// The modal boxes the program waits for. Each box shown is numbered, so that whoever watches
// the page (a screen reader's script, the browser tests) can tell it from the same box before.
let boxesShown = 0;

// Shows a modal <dialog> and resolves once it is answered: OK, or Enter in its field, with the
// field's text; Cancel, Close or Esc with `dismissed`; a command's button where the program
// says so (runCommand). `wire` binds the rest. The program waits for the answer, so every way
// out must give one.
function showModal(dialog, focus, dismissed = null, wire = () => {}) {
    return new Promise((resolve) => {
        const field = dialog.querySelector("input");
        const controller = new AbortController();
        const finish = (result) => {
            controller.abort();
            dialog.close();
            resolve(result);
        };
        const on = (type, handle) =>
            dialog.addEventListener(type, handle, { signal: controller.signal });
        // Esc closes the box. The close event of its previous showing comes late, when it may be
        // open again.
        on("close", () => dialog.open || finish(dismissed));
        on("click", ({ target }) => {
            const name = target.dataset.command;
            if (target.matches(".ok"))
                finish(field?.value ?? null);
            else if (target.matches(".cancel, .close") || (name && callNow("runCommand", name, "")))
                finish(dismissed);
        });
        on("keydown", (event) => {
            if (event.key === "Enter" && event.target === field) {
                event.preventDefault();
                finish(field.value);
            }
        });
        wire(finish, controller.signal);
        dialog.dataset.serial = String(++boxesShown);
        dialog.showModal();
        focus.focus();
    });
}

// A message box with `icon` ("error", "warning" or ""), or, `input`, an input box.
function modalBox(title, text, icon, input) {
    const dialog = document.getElementById(input ? "inputBox" : "messageBox");
    dialog.querySelector(".title").textContent = title;
    dialog.querySelector(".text").textContent = text;
    // An SVG element has no `hidden` property of its own: the attribute it is.
    for (const shown of dialog.querySelectorAll(".icon"))
        shown.toggleAttribute("hidden", !shown.classList.contains(icon));
    const field = dialog.querySelector("input");
    if (field)
        field.value = "";
    return showModal(dialog, field ?? dialog.querySelector(".ok"));
}
