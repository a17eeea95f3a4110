// The page's calls into the program, one command at a time, and its copies to the clipboard.

// The program's copies, which a command or a view waits for before it ends. The page holds no
// permission: where the browser refuses its clipboard API (an older one, or a page without
// the focus), the text is copied as a selection is, inside an open modal box, beside which
// the page is inert.
let copies = Promise.resolve();
function copyText(text) {
    copies = Promise.all([copies, (async () => navigator.clipboard.writeText(text))().catch(() => {
        const focused = document.activeElement;
        const scratch = document.createElement("textarea");
        scratch.value = text;
        (document.querySelector("dialog[open]") ?? document.body).appendChild(scratch);
        scratch.select();
        document.execCommand("copy");
        scratch.remove();
        focused?.focus();
    })]);
}
// Calls the program's export `name` with `args` at once and gives its text, or null for none.
// Also while the program waits for a view or a reading, where ccall would take the call for
// the end of that wait; the texts go on the stack, below the waiting program's frames.
function callNow(name, ...args) {
    const stack = stackSave();
    const text = Module[`_${name}`](...args.map((arg) =>
        typeof arg === "string" ? allocateUTF8OnStack(arg) : arg));
    stackRestore(stack);
    return text ? UTF8ToString(text) : null;
}
// The window's button or declared command `name` for the element with `boxId`, waited for.
const runCommand = (name, boxId = "") => Module.ccall("runCommand", null, ["string", "string"],
    [name, boxId], { async: true });

// One command (a click, a key, a paste, an open or a drop) is handled at a time, to its end,
// as on the desktop; the boxes are modal, so a second can only come from the keyboard and
// the clipboard, which the page guards itself.
let busy = false;
async function run(command) {
    if (busy)
        return;
    busy = true;
    document.documentElement.dataset.busy = "true";
    try {
        await command();
        await copies;
    } finally {
        busy = false;
        delete document.documentElement.dataset.busy;
    }
}
