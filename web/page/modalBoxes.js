// The modal boxes the program waits for. Each box shown is numbered, so that whoever watches
// the page (a screen reader's script, the browser tests) can tell it from the same box before.
let boxesShown = 0;

// Shows a modal <dialog> until its form closes it (OK: its field's text; Cancel, Close, Esc: null)
// or a command's button does where the program says so; the program waits for every way out.
function showModal(dialog, focus) {
    return new Promise((resolve) => {
        const finish = (result) => {
            dialog.onclose = dialog.onclick = null;
            dialog.close();
            resolve(result);
        };
        // The close event of the box's previous showing comes late, when it may be open again.
        dialog.onclose = () => dialog.open || finish(dialog.returnValue === "ok" ?
            dialog.querySelector("input")?.value ?? null : null);
        dialog.onclick = ({ target }) => target.dataset.command &&
            callNow("runCommand", target.dataset.command, "", 0) !== null && finish(null);
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
    dialog.dataset.icon = icon;
    dialog.querySelector("form").reset();
    return showModal(dialog, dialog.querySelector("input, .ok"));
}
