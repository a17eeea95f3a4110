// The page's side of the calculator: the modal message and input boxes that the C++ platform
// adapter waits for, the accuracy view, and the binding of the window's two buttons, of paste,
// drops and the declared commands' keys to the program.
"use strict";

// A Worker's module from its own script (lineq-read.js, lineq-exact.js), loaded the first time
// it is asked for: a page opened from a file can start a Worker from a Blob URL only, so the
// script hands over the module's text (arrived), which becomes one. Once per page; a failed
// load is tried again. load() resolves with the Blob URL.
function workerModule(script) {
    let loading = null;
    let arrive = null;
    return {
        load() {
            loading ??= new Promise((resolve, reject) => {
                arrive = resolve;
                const element = document.createElement("script");
                element.src = script;
                element.onerror = () => {
                    loading = null;
                    element.remove();
                    reject(new Error(`cannot load ${script}`));
                };
                document.head.appendChild(element);
            });
            return loading;
        },
        arrived(text) {
            arrive(URL.createObjectURL(new Blob([text], { type: "text/javascript" })));
        },
    };
}

const lineqPage = (() => {
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
    const runCommand = (name, boxId = "") =>
        Module.ccall("runCommand", null, ["string", "string"], [name, boxId], { async: true });

    // The accuracy view of the last Calculate, its text the program's; resolves once closed,
    // with 0, or with 1 + the place of the long command it was closed to run (Compute Exact
    // Solution, Refine Solution), and not before its copies have reached the clipboard. Its
    // copies are the program's commands. The focus starts in the text, so that the keys select
    // and copy it. Its commands' buttons are enabled as the program says when it opens.
    async function accuracyView(text) {
        const dialog = document.getElementById("accuracyView");
        const report = dialog.querySelector(".text");
        report.value = text;
        // The program writes the tables, escaping every text it puts in them.
        const side = dialog.querySelector(".side");
        side.innerHTML = callNow("comparisonMarkup") ?? "";
        side.scrollTop = 0;
        const showRows = comparisonRows(side);
        report.setSelectionRange(0, 0);
        report.scrollTop = 0;
        const close = dialog.querySelector("button.close");
        const enabled = enabledCommands();
        const ending = await showModal(dialog, report, undefined, (finish, signal) => {
            for (const button of dialog.querySelectorAll("button[data-command]")) {
                const name = button.dataset.command;
                button.disabled = !enabled.has(name);
                button.addEventListener("click", () => {
                    if (button.disabled)
                        return;
                    const place = commands.findIndex((command) => command.name === name);
                    if (commands[place].long)
                        finish(place + 1);
                    else
                        callNow("runCommand", name, "");
                }, { signal });
            }
            close.addEventListener("click", () => finish(), { signal });
            side.addEventListener("scroll", showRows, { signal });
            queueMicrotask(showRows); // once the view is open and its rows have their height
        });
        await copies;
        return ending ?? 0;
    }

    // The table of the unknowns holds the rows in sight and some around them, which the program
    // writes as they come into sight, blank rows of the same height standing for the others:
    // 3000 unknowns open and scroll as fast as 30. Returns what shows the rows for where the
    // table has scrolled to.
    function comparisonRows(side) {
        const table = side.querySelector("table.comparison");
        if (table === null)
            return () => {};
        const rows = Number(table.dataset.rows);
        const body = table.tBodies[0];
        const columns = table.tHead.rows[0].cells.length;
        const around = 40;
        const spacer = (height) => height <= 0 ? "" : `<tr class="spacer" aria-hidden="true">` +
            `<td colspan="${columns}" style="height: ${height}px"></td></tr>`;
        const rowsFrom = (first, count) => callNow("comparisonRows", first, count) ?? "";
        let rowHeight = 0;
        let shown = -1;
        body.innerHTML = rowsFrom(0, 2 * around);
        return () => {
            if (rowHeight === 0) {
                rowHeight = body.querySelector("tr:not(.spacer)")?.getBoundingClientRect().height ?? 0;
                if (rowHeight === 0)
                    return;
            }
            const into = side.getBoundingClientRect().top - body.getBoundingClientRect().top;
            const first = Math.max(0, Math.min(rows - 1, Math.floor(into / rowHeight) - around));
            if (shown >= 0 && Math.abs(first - shown) < around / 2)
                return;
            const count = Math.ceil(side.clientHeight / rowHeight) + 2 * around;
            body.innerHTML = spacer(first * rowHeight) + rowsFrom(first, count) +
                spacer((rows - first - count) * rowHeight);
            shown = first;
        };
    }

    // Steps…: one method's steps as the program writes them; resolves once closed and its copy
    // has reached the clipboard.
    // `columns`: the steps in doubles and, where known, those in exact fractions beside them,
    // of as many lines; `copy`: the text Copy copies.
    async function stepsView(title, [text, fractions], copy) {
        const dialog = document.getElementById("stepsView");
        dialog.querySelector(".title").textContent = title;
        const steps = dialog.querySelector(".text");
        const beside = dialog.querySelector(".fractions");
        for (const [view, value] of [[steps, text], [beside, fractions ?? ""]]) {
            view.value = value;
            view.setSelectionRange(0, 0);
            view.scrollTop = 0;
        }
        beside.hidden = !fractions;
        await showModal(dialog, steps, undefined, (finish, signal) => {
            // The columns' lines face each other: they scroll as one.
            for (const [from, to] of [[steps, beside], [beside, steps]])
                from.addEventListener("scroll", () => {
                    to.scrollTop = from.scrollTop;
                }, { signal });
            dialog.querySelector("button.copy").addEventListener("click", () => copyText(copy),
                { signal });
            dialog.querySelector("button.close").addEventListener("click", () => finish(),
                { signal });
        });
        await copies;
    }

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
    const call = (handler, ...args) => Module.ccall(handler, null, args.map(() => "string"),
        args, { async: true });

    // The commands as the program declares them (written into the page at build time), and
    // which of them have something to do now; a result box's for the box with `boxId`.
    const commands = JSON.parse(document.getElementById("commands").textContent);
    const enabledCommands = (boxId = "") =>
        new Set(JSON.parse(callNow("enabledCommands", boxId)));
    const resultBoxId = (target) =>
        target instanceof Element && target.matches("[data-result-box]") ? target.id : "";

    // "Ctrl+Shift+C": Ctrl is Cmd on a Mac; the other modifiers must be as named.
    function matchesShortcut(event, shortcut) {
        if (!shortcut)
            return false;
        const parts = shortcut.split("+");
        const key = parts.pop().toLowerCase();
        return (event.ctrlKey || event.metaKey) === parts.includes("Ctrl") &&
            event.shiftKey === parts.includes("Shift") && event.altKey === parts.includes("Alt") &&
            (event.key?.toLowerCase() === key || event.code === `Key${key.toUpperCase()}`);
    }
    // The command whose key this is where it was pressed, or undefined.
    const commandOfKey = (event) => commands.find((command) => matchesShortcut(event,
        command.shortcut) && (command.scope === "window" || resultBoxId(event.target) !== ""));

    // The window's multi-line boxes. A short text goes into the box's <textarea>, as it always
    // has; a long one into a view that lays out only the lines in sight (LineView), which takes
    // the box's place and id while it shows the text. Short is at most kShortText characters:
    // the narrowest box lays 8.6 KB of solution lines out in about 30 ms, and Chromium takes
    // seconds for a megabyte, however it wraps.
    const kShortText = 8192;
    // A long line is laid out in pieces of at most this many characters, each starting a row
    // of its own: a row of A at n = 32766 is 650 KB.
    const kPiece = 2048;
    const kRow = 15; // px, page.css's line-height of the boxes

    // Splits a line into pieces, each ending after the spaces that precede a number, so that
    // every piece starts where a wrapped row would.
    function piecesOf(line) {
        const pieces = [];
        let start = 0;
        while (line.length - start > kPiece) {
            let cut = start + kPiece;
            while (cut > start + 1 && !(line[cut - 1] === " " && line[cut] !== " "))
                --cut;
            if (cut === start + 1)
                cut = start + kPiece;
            pieces.push(line.slice(start, cut));
            start = cut;
        }
        pieces.push(line.slice(start));
        return pieces;
    }

    // A box's long text, shown from a top row on: the text comes from `source` (count lines,
    // lines(first, n) without their line ends, text() the whole text with LF line ends), a few
    // lines at a time as they come into sight. It keeps the box's id, role, name and place,
    // takes the focus in its turn, and scrolls by the keys that move a text box's caret (the
    // arrows, Page Up and Down, Ctrl+Home and Ctrl+End) and by the wheel. Ctrl+A and a copy
    // take the whole text; a selection made with the mouse copies what it holds. It takes no
    // typing: the program never reads these boxes.
    class LineView {
        constructor(area) {
            const view = document.createElement("div");
            view.className = "box view";
            view.setAttribute("style", area.getAttribute("style"));
            view.tabIndex = 0;
            view.setAttribute("role", "textbox");
            view.setAttribute("aria-multiline", "true");
            view.setAttribute("aria-readonly", "true");
            const label = document.querySelector(`label[for="${area.id}"]`);
            if (label?.id)
                view.setAttribute("aria-labelledby", label.id);
            if (area.hasAttribute("data-result-box"))
                view.setAttribute("data-result-box", "");
            this.lines = document.createElement("div");
            this.lines.className = "lines";
            view.append(this.lines);
            Object.defineProperty(view, "value", { get: () => this.source.text() });
            view.addEventListener("keydown", (event) => this.key(event));
            view.addEventListener("wheel", (event) => {
                event.preventDefault();
                this.scrollBy(Math.sign(event.deltaY) *
                    Math.max(1, Math.round(Math.abs(event.deltaY) / (event.deltaMode ? 1 : 3 * kRow))));
            }, { passive: false });
            view.addEventListener("copy", (event) => {
                if (!this.allSelected)
                    return;
                event.preventDefault();
                event.clipboardData.setData("text/plain", this.source.text());
            });
            view.addEventListener("mousedown", () => {
                this.allSelected = false;
            });
            this.element = view;
        }

        show(source) {
            this.source = source;
            this.pieceCache = new Map();
            this.top = { line: 0, piece: 0, row: 0 };
            this.render();
        }

        pieces(line) {
            let pieces = this.pieceCache.get(line);
            if (pieces === undefined) {
                if (this.pieceCache.size > 4096)
                    this.pieceCache.clear();
                pieces = piecesOf(this.source.lines(line, 1)[0] ?? "");
                pieces.rows = new Array(pieces.length);
                this.pieceCache.set(line, pieces);
            }
            return pieces;
        }
        next({ line, piece }) {
            if (piece + 1 < this.pieces(line).length)
                return { line, piece: piece + 1 };
            return line + 1 < this.source.count ? { line: line + 1, piece: 0 } : null;
        }
        previous({ line, piece }) {
            if (piece > 0)
                return { line, piece: piece - 1 };
            return line > 0 ? { line: line - 1, piece: this.pieces(line - 1).length - 1 } : null;
        }
        // A piece's element, and its rows once it is laid out in `into`.
        pieceElement({ line, piece }, into) {
            const element = document.createElement("div");
            element.textContent = this.pieces(line)[piece];
            into.append(element);
            this.pieces(line).rows[piece] = Math.max(1, Math.round(element.offsetHeight / kRow));
            return element;
        }
        rowsOf(at) {
            const pieces = this.pieces(at.line);
            if (pieces.rows[at.piece] === undefined) {
                const measure = document.createElement("div");
                measure.className = "lines measure";
                this.element.append(measure);
                this.pieceElement(at, measure);
                measure.remove();
            }
            return pieces.rows[at.piece];
        }
        visibleRows() {
            const style = getComputedStyle(this.element);
            return Math.max(1, Math.floor((this.element.clientHeight - parseFloat(style.paddingTop) -
                parseFloat(style.paddingBottom)) / kRow));
        }

        // Moves the top by `rows` (up when negative), no further than the text goes: the last
        // rows fill the box, as a text box scrolled to its end shows them.
        scrollBy(rows) {
            let at = { line: this.top.line, piece: this.top.piece };
            let row = this.top.row + rows;
            for (;;) {
                if (row < 0) {
                    const before = this.previous(at);
                    if (before === null) {
                        row = 0;
                        break;
                    }
                    at = before;
                    row += this.rowsOf(at);
                } else if (row >= this.rowsOf(at)) {
                    const after = this.next(at);
                    if (after === null) {
                        row = this.rowsOf(at) - 1;
                        break;
                    }
                    row -= this.rowsOf(at);
                    at = after;
                } else {
                    break;
                }
            }
            // Rows from the top to the end, as far as a box full.
            const wanted = this.visibleRows();
            let left = this.rowsOf(at) - row;
            for (let after = this.next(at); after !== null && left < wanted;
                after = this.next(after))
                left += this.rowsOf(after);
            this.top = { ...at, row };
            if (left < wanted && rows > 0)
                return this.scrollBy(left - wanted);
            this.render();
        }

        render() {
            this.allSelected = false;
            const shown = window.getSelection();
            if (shown?.anchorNode && this.element.contains(shown.anchorNode))
                shown.removeAllRanges();
            this.lines.replaceChildren();
            this.lines.style.marginTop = `${-this.top.row * kRow}px`;
            const wanted = this.top.row + this.visibleRows() + 1;
            let rows = 0;
            for (let at = this.source.count > 0 ? this.top : null; at !== null && rows < wanted;
                at = this.next(at)) {
                this.pieceElement(at, this.lines);
                rows += this.rowsOf(at);
            }
        }

        key(event) {
            const control = event.ctrlKey || event.metaKey;
            if (event.altKey)
                return;
            const page = Math.max(1, this.visibleRows() - 1);
            const moves = {
                ArrowDown: () => this.scrollBy(1),
                ArrowUp: () => this.scrollBy(-1),
                PageDown: () => this.scrollBy(page),
                PageUp: () => this.scrollBy(-page),
                Home: () => control && this.show(this.source),
                End: () => control && this.scrollBy(Number.MAX_SAFE_INTEGER),
            };
            if (control && event.key.toLowerCase() === "a" && !event.shiftKey) {
                event.preventDefault();
                this.selectAll();
            } else if (event.key in moves && !event.shiftKey) {
                event.preventDefault();
                moves[event.key]();
            }
        }

        // What is in sight is selected, as a sign; a copy takes the whole text.
        selectAll() {
            const range = document.createRange();
            range.selectNodeContents(this.lines);
            const selection = window.getSelection();
            selection.removeAllRanges();
            selection.addRange(range);
            this.allSelected = true;
        }
    }

    // Each box by its id: its <textarea>, and its view while it shows a long text.
    const boxes = new Map();
    function boxOf(id) {
        if (!boxes.has(id))
            boxes.set(id, { area: document.getElementById(id), view: null });
        return boxes.get(id);
    }
    function showInArea(box, text) {
        if (box.view !== null) {
            const focused = document.activeElement === box.view.element;
            const id = box.view.element.id;
            box.view.element.remove();
            box.view = null;
            box.area.id = id;
            box.area.hidden = false;
            if (focused)
                box.area.focus();
        }
        box.area.value = text;
    }
    function showInView(box, source) {
        if (box.view === null) {
            const focused = document.activeElement === box.area;
            box.view = new LineView(box.area);
            box.view.element.id = box.area.id;
            box.area.value = "";
            box.area.id = "";
            box.area.hidden = true;
            box.area.after(box.view.element);
            if (focused)
                box.view.element.focus();
        }
        box.view.show(source);
    }
    const linesOf = (text) => {
        const lines = text.split("\n");
        if (lines.at(-1) === "")
            lines.pop();
        return lines;
    };
    // The program's text for a box (WebPlatform's replaceText); CR LF ends its lines.
    function setBoxText(id, text) {
        const box = boxOf(id);
        if (box.area.tagName === "INPUT") {
            box.area.value = text;
            return;
        }
        const whole = text.replaceAll("\r\n", "\n");
        if (whole.length <= kShortText)
            return showInArea(box, whole);
        const lines = linesOf(whole);
        showInView(box, {
            count: lines.length,
            lines: (first, n) => lines.slice(first, first + n),
            text: () => whole,
        });
    }
    // A box's text of `count` lines that the program builds as they are asked for
    // (WebPlatform's replaceLines).
    function setBoxLines(id, count) {
        const box = boxOf(id);
        const fetch = (first, n) =>
            linesOf((callNow("boxLines", id, first, n) ?? "").replaceAll("\r\n", "\n"));
        const text = () => count === 0 ? "" : fetch(0, count).join("\n") + "\n";
        // The first line tells the length; at 3000 equations it is 3000 numbers' texts.
        const first = count === 0 ? [] : fetch(0, 1);
        if (count === 0 || (first[0].length + 1) * count <= kShortText)
            return showInArea(box, text());
        showInView(box, {
            count,
            lines: (from, n) => from === 0 && n === 1 ? first : fetch(from, n),
            text,
        });
    }

    // The reading module (web/read/), loaded when a system is first pasted, opened or dropped
    // (or a drag first enters the window).
    const readModule = workerModule("lineq-read.js");
    const loadReadModule = () => readModule.load();

    // One reading at a time: the input the program is about to read ({ file } or { text }),
    // then the Worker reading it and what it answered, which the program takes one event at a
    // time (nextReadEvent, by its ending's name, and readEvent; web/WebRead.cpp).
    let reading = null;
    function startReading(keepWritten) {
        const current = reading;
        current.input.keepWritten = keepWritten;
        current.events = [];
        const arrive = (event) => {
            if (current.ended)
                return;
            // Only the latest progress counts.
            if (event.progress !== undefined && current.events.at(-1)?.progress !== undefined)
                current.events.pop();
            current.events.push(event);
            if (event.ending !== undefined)
                endReading(current);
            current.wake?.();
        };
        current.cancel = () => arrive({ ending: "cancelled" });
        loadReadModule().then((url) => {
            if (current.ended)
                return;
            current.worker = new Worker(url);
            current.worker.onmessage = (message) => arrive(message.data);
            current.worker.onerror = (error) => {
                error.preventDefault();
                arrive(/memory|OOM/i.test(error.message ?? "") ? { ending: "outOfMemory" } :
                    { ending: "refused", text: error.message || "the reader stopped" });
            };
            current.worker.postMessage(current.input);
        }, (error) => arrive({ ending: "refused", text: error.message }));
    }
    // A reading ends at its answer or its cancel; its Worker, and the memory it holds, go.
    function endReading(current) {
        current.ended = true;
        current.worker?.terminate();
        current.worker = null;
    }
    async function nextReadEvent() {
        const current = reading;
        longWork?.waiting();
        while (current.events.length === 0)
            await new Promise((wake) => { current.wake = wake; });
        current.event = current.events.shift();
        return current.event.ending ?? "progress";
    }
    const readEvent = () => reading.event;

    function readSystem(input, command) {
        run(async () => {
            reading = { input };
            try {
                await command();
            } finally {
                if (!reading.ended)
                    endReading(reading);
                reading = null;
            }
        });
    }
    // Its length counts a text's bytes for the progress display: a system is digits, signs,
    // points and spaces.
    const pasteSystem = (text) => readSystem({ text }, () => runCommand("pasteSystem"));
    const openSystem = (file) => readSystem({ file }, () => runCommand("openSystem"));
    const heldInput = () => reading?.input ?? null;

    // The long work that runs (WebPlatform::runLong), with its status in the program's memory.
    // Work that waits (a reading) shows it once it has run for the quiet time, as the desktop's
    // progress dialog does: what runs, how far, the time so far, and Cancel (or Esc), which
    // asks the work to stop; the box stays until it has.
    let longWork = null;
    function beginLongWork(status) {
        const dialog = document.getElementById("progressBox");
        const text = dialog.querySelector(".text");
        const bar = dialog.querySelector("progress");
        const cancel = dialog.querySelector("button.cancel");
        const started = performance.now();
        let showing = null;
        let refreshing = null;
        const cancelled = () => HEAPU8[status.cancel] !== 0;
        const refresh = () => {
            const done = HEAP32[status.done >> 2];
            const total = HEAP32[status.total >> 2];
            bar.max = Math.max(total, 1);
            if (total > 0)
                bar.value = Math.min(done, total);
            else
                bar.removeAttribute("value");
            text.textContent = callNow("progressText", performance.now() - started);
        };
        const requestCancel = () => {
            HEAPU8[status.cancel] = 1;
            cancel.disabled = true;
            refresh();
            reading?.cancel?.();
        };
        const onCancel = (event) => {
            event.preventDefault();
            requestCancel();
        };
        const show = () => {
            showing = null;
            cancel.disabled = cancelled();
            refresh();
            cancel.onclick = requestCancel;
            dialog.addEventListener("cancel", onCancel);
            dialog.showModal();
            cancel.focus();
            refreshing = setInterval(refresh, 100);
        };
        longWork = {
            // The work waits for the page's turn: the box shows once the quiet time is over.
            waiting() {
                if (showing === null && !dialog.open)
                    showing = setTimeout(show, Math.max(0, started + status.quietMs -
                        performance.now()));
            },
            end() {
                clearTimeout(showing);
                clearInterval(refreshing);
                dialog.removeEventListener("cancel", onCancel);
                if (dialog.open)
                    dialog.close();
            },
        };
    }
    function endLongWork() {
        longWork?.end();
        longWork = null;
    }

    // Paste System's key (Cmd for Ctrl on a Mac) pastes a system even into a box; a plain
    // paste goes into the box that has the focus, as on the desktop.
    let systemPasteKeys = false;

    function bindSystemInput() {
        const frame = document.getElementById("frmCholesky");
        const fileInput = document.getElementById("openSystem");
        fileInput.addEventListener("change", () => {
            const [file] = fileInput.files;
            fileInput.value = ""; // the same file can be chosen again
            if (file)
                openSystem(file);
        });
        document.addEventListener("keydown", (event) => {
            systemPasteKeys = commandOfKey(event)?.name === "pasteSystem";
        });
        document.addEventListener("keyup", () => {
            systemPasteKeys = false;
        });
        document.addEventListener("paste", (event) => {
            const target = event.target instanceof Element ? event.target : document.body;
            // The input box's field, and a box of the window for a plain paste, take the text; a
            // box's view of a long text takes none.
            if (target.closest("dialog") ||
                (!systemPasteKeys && target.matches("textarea, input, .view")))
                return;
            event.preventDefault();
            if (!busy && enabledCommands().has("pasteSystem"))
                pasteSystem(event.clipboardData?.getData("text/plain") ?? "");
        });

        // A drag that starts in the page (text moved within a box) stays the boxes' own. From
        // outside, the window takes one file or a text, and the page nothing: the browser
        // would otherwise open a dropped file in place of the page.
        let dragFromPage = false;
        document.addEventListener("dragstart", () => {
            dragFromPage = true;
        });
        document.addEventListener("dragend", () => {
            dragFromPage = false;
        });
        const droppable = (event) => {
            const data = event.dataTransfer;
            if (!frame.contains(event.target) || data === null)
                return false;
            if (data.types.includes("Files"))
                return [...data.items].filter((item) => item.kind === "file").length === 1;
            return data.types.includes("text/plain");
        };
        document.addEventListener("dragenter", () => {
            if (!dragFromPage)
                loadReadModule().catch(() => {});
        });
        document.addEventListener("dragover", (event) => {
            if (dragFromPage)
                return;
            event.preventDefault();
            event.dataTransfer.dropEffect = droppable(event) ? "copy" : "none";
        });
        document.addEventListener("drop", (event) => {
            if (dragFromPage)
                return;
            event.preventDefault();
            if (!droppable(event))
                return;
            const data = event.dataTransfer;
            if (data.files.length === 1)
                openSystem(data.files[0]);
            else
                pasteSystem(data.getData("text/plain"));
        });
    }

    // Save System and Save Results: the browser's download of the program's text. Save System
    // hands it over a line at a time (DownloadLines), gathered into a Blob at each of the
    // browser's turns, so that no one task copies all of it (178 MB at 3000 equations).
    let downloadPieces = [];
    const downloadPiece = (bytes) => downloadPieces.push(bytes);
    function downloadTurn() {
        downloadPieces = [new Blob(downloadPieces)];
        longWork?.waiting();
    }
    function finishDownload(name, type, whole) {
        if (whole)
            download(name, type, downloadPieces);
        downloadPieces = [];
    }
    function download(name, type, parts) {
        const link = document.createElement("a");
        link.href = URL.createObjectURL(new Blob(parts, { type }));
        link.download = name;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }

    // The commands' keys. The result boxes' commands, where the desktop has them in their
    // context menus: the page leaves the browser its own menu there. Accuracy… anywhere in the
    // page opens the accuracy view; Copy Solution in a result box copies its method's solution,
    // the doubles themselves rather than the box's text. A command's key is the page's, not
    // the browser's (its open dialog, its inspector), also while the command has nothing to do.
    function bindCommandKeys() {
        const fileInput = document.getElementById("openSystem");
        const actions = {
            openSystem: () => {
                loadReadModule().catch(() => {});
                fileInput.click();
            },
        };
        const runOf = (name) => actions[name] ?? ((box) => run(() => runCommand(name, box)));
        document.addEventListener("keydown", (event) => {
            const command = commandOfKey(event);
            // The browser's paste event brings Paste System its text.
            if (!command || command.name === "pasteSystem")
                return;
            event.preventDefault();
            const box = resultBoxId(event.target);
            if (!busy && enabledCommands(box).has(command.name))
                runOf(command.name)(box);
        });
    }

    function bindWindow() {
        for (const [id, handler] of [["submit_but", "submitClick"], ["Start", "startClick"]]) {
            const button = document.getElementById(id);
            button.addEventListener("click", () => run(() => call(handler)));
            // Neither button answers Enter: Space or a click presses it.
            button.addEventListener("keydown", (event) => {
                if (event.key === "Enter")
                    event.preventDefault();
            });
        }
        // Tab goes round the window, as in a desktop window, rather than on to the browser. A
        // box's element changes while it shows a long text: they are found by their ids.
        document.getElementById("frmCholesky").addEventListener("keydown", (event) => {
            if (event.key !== "Tab" || event.altKey || event.ctrlKey || event.metaKey)
                return;
            const first = document.getElementById("display");
            const last = document.getElementById("txtVector");
            const [from, to] = event.shiftKey ? [first, last] : [last, first];
            if (document.activeElement === from) {
                event.preventDefault();
                to.focus();
            }
        });
        bindSystemInput();
        bindCommandKeys();
        document.documentElement.dataset.ready = "true";
    }

    return { messageBox, inputBox, bindWindow, setBoxText, setBoxLines, readModule,
        startReading, nextReadEvent, readEvent, beginLongWork, endLongWork, downloadPiece,
        downloadTurn, finishDownload, copyText, heldInput, accuracyView, stepsView };
})();

// lineq-read.js hands the reading module over here.
const lineqRead = { moduleLoaded: lineqPage.readModule.arrived };

var Module = {
    onRuntimeInitialized: lineqPage.bindWindow,
};
