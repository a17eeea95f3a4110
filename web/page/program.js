// The page's calls into the program, one command at a time, and its copies to the clipboard.

// Puts `text` on the clipboard. The page holds no permission: where the browser refuses
// its clipboard API (an older one, or a page without the focus), the text is copied as a
// selection is.
async function toClipboard(text) {
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
// The program's copies, which a command or a view waits for before it ends.
let copies = Promise.resolve();
function copyText(text) {
    copies = Promise.all([copies, toClipboard(text)]);
    return copies;
}
// Calls the program's export `name` at once with `args` (texts and numbers) and gives its
// text, or null for none. Also while the program waits for a view or a reading, where ccall
// would take the call for the end of that wait.
function callNow(name, ...args) {
    const held = [];
    const cArgs = args.map((arg) => {
        if (typeof arg !== "string")
            return arg;
        const size = lengthBytesUTF8(arg) + 1;
        held.push(_malloc(size));
        stringToUTF8(arg, held.at(-1), size);
        return held.at(-1);
    });
    try {
        const text = Module[`_${name}`](...cArgs);
        return text ? UTF8ToString(text) : null;
    } finally {
        held.forEach((at) => _free(at));
    }
}
// A declared command for the result box with `boxId`, waited for; a view's own buttons run
// theirs at once (callNow), while the program waits for the view.
const runCommand = (name, boxId = "") => call("runCommand", name, boxId);

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
        await copies;
    } finally {
        busy = false;
        delete document.documentElement.dataset.busy;
    }
}
// Calls the program's export `name` with `args` (texts) and waits for it.
const call = (name, ...args) => Module.ccall(name, null, args.map(() => "string"), args,
    { async: true });

// The commands as the program declares them (written into the page at build time), and
// which of them have something to do now; a result box's for the box with `boxId`.
const commands = JSON.parse(document.getElementById("commands").textContent);
const enabledCommands = (boxId = "") =>
    new Set(JSON.parse(callNow("enabledCommands", boxId)));
const resultBoxId = (target) =>
    target instanceof Element && target.matches("[data-result-box]") ? target.id : "";
