// A long text (a box's beyond kShortText, the steps view's) laid out as the program's lines come
// into sight; scrolled by the caret keys and the wheel; Ctrl+A copies it whole; no typing.
const kRow = 15; // px, page.css's line-height of the boxes
const newDiv = (properties) => Object.assign(document.createElement("div"), properties);
class LineView {
    constructor(view, id) {
        Object.assign(view, { tabIndex: 0, role: "textbox", ariaMultiLine: "true",
            ariaReadOnly: "true" }).classList.add("view");
        Object.assign(this, { element: view, id, lines: newDiv({ className: "lines" }),
            measure: newDiv({ className: "lines measure" }) });
        view.replaceChildren(this.lines, this.measure);
        Object.defineProperty(view, "value", { get: () => callNow("boxText", id) });
        view.addEventListener("keydown", (event) => this.key(event));
        view.addEventListener("wheel", (event) => {
            event.preventDefault();
            this.scrollBy(Math.round(event.deltaY / (event.deltaMode ? 1 : 3 * kRow)) ||
                Math.sign(event.deltaY));
        }, { passive: false });
        view.addEventListener("copy", (event) => {
            if (this.allSelected) {
                event.preventDefault();
                event.clipboardData.setData("text/plain", view.value);
            }
        });
        view.addEventListener("mousedown", () => (this.allSelected = false));
    }
    show(count) { // once in sight, where its rows have their height
        const padding = parseFloat(getComputedStyle(this.element).paddingTop); // as much below
        const inSight = Math.max(1, Math.floor((this.element.clientHeight - 2 * padding) / kRow));
        Object.assign(this, { count, cache: new Map(), inSight }).scrollBy(-Infinity);
    }
    // A line's pieces (each its text, and the text beside it if any) and their rows laid out.
    pieces(line) {
        if (this.cache.size > 4096)
            this.cache.clear();
        if (!this.cache.has(line))
            this.cache.set(line, Object.assign(JSON.parse(callNow("boxLines", this.id, line, 1))[0],
                { rows: [] }));
        return this.cache.get(line);
    }
    // The piece `by` (1 or -1) from `at`, or null past the text's ends.
    step({ line, piece }, by) {
        if (this.pieces(line)[piece + by])
            return { line, piece: piece + by };
        line += by;
        return line < 0 || line >= this.count ? null :
            { line, piece: by > 0 ? 0 : this.pieces(line).length - 1 };
    }
    // Lays the piece out in `into` (by default out of sight, only to measure it); its rows.
    layOut({ line, piece }, into = this.measure) {
        const halves = this.pieces(line)[piece];
        const element = into.appendChild(newDiv({ className: halves.length > 1 ? "pair" : "" }));
        element.dataset.line = line;
        element.append(...(halves.length > 1 ?
            halves.map((half) => newDiv({ textContent: half })) : halves));
        this.pieces(line).rows[piece] = Math.max(1, Math.round(element.offsetHeight / kRow));
        if (into === this.measure)
            element.remove();
        return this.pieces(line).rows[piece];
    }
    rowsOf(at) {
        return this.pieces(at.line).rows[at.piece] ?? this.layOut(at);
    }

    // Moves the top by `rows` (-Infinity: to the start) within the text; lays out what is in sight.
    scrollBy(rows) {
        let at = rows > -Infinity ? this.top : { line: 0, piece: 0, row: 0 };
        let row = at.row + rows;
        for (let near; row < 0 && (near = this.step(at, -1));)
            row += this.rowsOf(at = near);
        for (let near; row >= this.rowsOf(at) && (near = this.step(at, 1)); at = near)
            row -= this.rowsOf(at);
        this.top = { ...at, row: Math.max(0, Math.min(row, this.rowsOf(at) - 1)) };
        this.allSelected = false;
        this.lines.replaceChildren();
        this.lines.style.marginTop = `${-this.top.row * kRow}px`;
        const wanted = this.top.row + this.inSight;
        let shown = 0;
        for (let near = at; near && shown <= wanted; near = this.step(near, 1))
            shown += this.layOut(near, this.lines);
        // The last rows fill the box, as a text box scrolled to its end shows them.
        if (shown < wanted && at.line + at.piece + this.top.row > 0)
            this.scrollBy(shown - wanted);
    }

    key(event) {
        const control = event.ctrlKey || event.metaKey;
        const page = Math.max(1, this.inSight - 1);
        const moves = { ArrowDown: 1, ArrowUp: -1, PageDown: page, PageUp: -page,
            End: control ? Infinity : 0, Home: control ? -Infinity : 0 };
        if (event.shiftKey || event.altKey || !(event.key in moves ||
            (control && event.key.toLowerCase() === "a")))
            return;
        event.preventDefault();
        if (event.key in moves)
            return this.scrollBy(moves[event.key]);
        // What is in sight is selected, as a sign; a copy takes the whole text.
        window.getSelection().selectAllChildren(this.lines);
        this.allSelected = true;
    }
}
