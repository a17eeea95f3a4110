// A long text laid out a few lines at a time as they come into sight: a window's box's, once it
// is too long for the box's <textarea> (WebPlatform's kShortText), and the steps view's.

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

// A long text shown from a top row on, in `view` (a box's place while it shows a long text, or
// the steps view): the text comes from `source` (count lines, lines(first, n) without their
// line ends, text() the whole text with LF line ends), a few lines at a time as they come into
// sight. A line may be a pair of texts, shown side by side. It takes the focus in its turn,
// and scrolls by the keys that move a text box's caret (the arrows, Page Up and Down,
// Ctrl+Home and Ctrl+End) and by the wheel. Ctrl+A and a copy take the whole text; a
// selection made with the mouse copies what it holds. It takes no typing: the program never
// reads these views.
class LineView {
    constructor(view) {
        view.classList.add("view");
        view.tabIndex = 0;
        view.setAttribute("role", "textbox");
        view.setAttribute("aria-multiline", "true");
        view.setAttribute("aria-readonly", "true");
        this.lines = document.createElement("div");
        this.lines.className = "lines";
        view.replaceChildren(this.lines);
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
            const text = this.source.lines(line, 1)[0] ?? "";
            pieces = typeof text === "string" ? piecesOf(text) : [text];
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
    // A piece's element, and its rows once it is laid out in `into`; a pair's two texts side
    // by side.
    pieceElement({ line, piece }, into) {
        const element = document.createElement("div");
        const text = this.pieces(line)[piece];
        if (typeof text === "string") {
            element.textContent = text;
        } else {
            element.className = "pair";
            element.append(...text.map((half) =>
                Object.assign(document.createElement("div"), { textContent: half })));
        }
        element.dataset.line = line;
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
