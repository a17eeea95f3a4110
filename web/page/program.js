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
// The program's call `name` (web/Calculator.cpp): its text, or null. A call returns at once,
// also while a command waits: the command's waits are answers the page gives later (answer).
const callNow = (name, ...args) => Module[name](...args);
// The program's wait `wait` answered with what `promise` gives (a text, or null), once it does
// (web/PageAnswer.h): the command that waited goes on from there.
function answer(wait, promise) {
    promise.then((reply) => reply ?? null, () => null).then((reply) =>
        Module.resumeWait(wait, reply === null ? null : String(reply)));
}
// The window's button or declared command `name` for the element with id `boxId`: resolves
// when the command has ended (commandEnded), which may be long after the call returned.
let commandsRun = 0;
const commandEnds = new Map();
function commandEnded(token) {
    commandEnds.get(token)?.();
    commandEnds.delete(token);
}
const runCommand = (name, boxId = "") => new Promise((resolve) => {
    const token = ++commandsRun;
    commandEnds.set(token, resolve);
    callNow("runCommand", name, boxId, token);
});

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
