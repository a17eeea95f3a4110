// The window's multi-line boxes, each its <textarea> or, while it shows a long text, a LineView.
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
// An element for a box's long text, in its place, with its id, name and marks.
function viewOf(area) {
    const view = document.createElement("div");
    view.className = "box";
    view.id = area.id;
    view.setAttribute("style", area.getAttribute("style"));
    const label = document.querySelector(`label[for="${area.id}"]`);
    if (label?.id)
        view.setAttribute("aria-labelledby", label.id);
    if (area.hasAttribute("data-result-box"))
        view.setAttribute("data-result-box", "");
    return view;
}
function showInView(box, source) {
    if (box.view === null) {
        const focused = document.activeElement === box.area;
        box.view = new LineView(viewOf(box.area));
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
