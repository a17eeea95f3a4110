// The modal boxes the program waits for. Each box shown is numbered, so that whoever watches
// the page (a screen reader's script, the browser tests) can tell it from the same box before.
let boxesShown = 0;

// Shows a modal <dialog> until its form closes it (OK: its field's text; Cancel, Close, Esc:
// null); the program waits for every way out. A command's button in it runs the command.
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
            runFromView(dialog, target.dataset.command);
        dialog.returnValue = "";
        dialog.dataset.serial = String(++boxesShown);
        dialog.showModal();
        focus.focus();
    });
}

// A view's command (Compute Exact Solution, say), run while the view stays open, its progress
// box and messages above it; the view says which runs meanwhile.
async function runFromView(dialog, name) {
    dialog.dataset.running = name;
    try {
        await runCommand(name);
    } finally {
        delete dialog.dataset.running;
    }
}

function modalBox(title, text, icon, input) {
    const dialog = document.getElementById(input ? "inputBox" : "messageBox");
    dialog.querySelector(".title").textContent = title;
    dialog.querySelector(".text").textContent = text;
    dialog.dataset.icon = icon;
    dialog.querySelector("form").reset();
    return showModal(dialog, dialog.querySelector("input, .ok"));
}
