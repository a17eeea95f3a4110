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
// A text's lines without their line ends, CR LF or LF.
const linesOf = (text) => {
    const lines = text.replaceAll("\r\n", "\n").split("\n");
    if (lines.at(-1) === "")
        lines.pop();
    return lines;
};
// The program's short text for a box (WebPlatform's replaceText); CR LF ends its lines.
function setBoxText(id, text) {
    const box = boxOf(id);
    if (box.area.tagName === "INPUT")
        box.area.value = text;
    else
        showInArea(box, text.replaceAll("\r\n", "\n"));
}
// A box's long text of `count` lines, which the program gives as they are asked for
// (WebPlatform's boxLines).
function setBoxLines(id, count) {
    const fetch = (first, n) => linesOf(callNow("boxLines", id, first, n) ?? "");
    showInView(boxOf(id), {
        count,
        lines: fetch,
        text: () => fetch(0, count).join("\n") + "\n",
    });
}
