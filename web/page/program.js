// The copies a command or a view waits for before it ends. Where the browser refuses its
// clipboard API, the text is copied as a selection is, within an open modal box if any.
let copies = Promise.resolve();
function copyText(text) {
    copies = Promise.all([copies, (async () => navigator.clipboard.writeText(text))().catch(() => {
        const focused = document.activeElement;
        const scratch = Object.assign(document.createElement("textarea"), { value: text });
        (document.querySelector("dialog[open]") ?? document.body).append(scratch);
        scratch.select();
        document.execCommand("copy");
        scratch.remove();
        focused?.focus();
    })]);
}
// The program's export `name` called at once: its text, or null. Also while the program waits,
// where ccall would take the call for the end of that wait, and so would Embind's bindings: with
// Asyncify, this Emscripten's (3.1.6) return a Promise while a wait is pending
// (Asyncify.currData), so the page's calls stay plain exports while commands wait by Asyncify.
function callNow(name, ...args) {
    const cArgs = args.map((arg) => typeof arg === "string" ? allocateUTF8(arg) : arg);
    const text = Module[`_${name}`](...cArgs);
    args.forEach((arg, i) => typeof arg === "string" && _free(cArgs[i]));
    return text ? UTF8ToString(text) : null;
}
// The window's button or declared command `name` for the element with id `boxId`, waited for.
const runCommand = (name, boxId = "") =>
    Module.ccall("runCommand", null, ["string", "string"], [name, boxId], { async: true });

// One command at a time, to its end, as on the desktop: the boxes are modal, but the keyboard
// and the clipboard still reach the page.
const busy = () => "busy" in document.documentElement.dataset;
async function run(command) {
    if (busy())
        return;
    document.documentElement.dataset.busy = "true";
    try {
        await command().then(() => copies);
    } finally {
        delete document.documentElement.dataset.busy;
    }
}
