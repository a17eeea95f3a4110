// The window's multi-line boxes: each its <textarea> while it shows a short text, and beside it
// the view it shows a long one on (a LineView); the one shown has the box's id, and the focus
// if the other had it.
const boxViews = new Map([...document.querySelectorAll("textarea.box")].map((area) => {
    const view = area.insertAdjacentElement("afterend", newDiv({ className: "box", hidden: true }));
    view.setAttribute("style", area.getAttribute("style"));
    view.setAttribute("aria-labelledby", document.querySelector(`label[for="${area.id}"]`).id);
    return [area.id, Object.assign(new LineView(view, area.id), { area })];
}));
function showBox(id, long) {
    const view = boxViews.get(id);
    const [shown, other] = long ? [view.element, view.area] : [view.area, view.element];
    shown.hidden = false;
    if (document.activeElement === other)
        shown.focus();
    Object.assign(other, { hidden: true, id: "" });
    shown.id = id;
    return view;
}
// The program's short text for a box (WebPlatform's replaceText; the browser makes its CR LF
// line ends LF), and a box's long text of `count` lines, which the view asks the program for.
function setBoxText(id, text) {
    (boxViews.has(id) ? showBox(id, false).area : document.getElementById(id)).value = text;
}
const setBoxLines = (id, count) => showBox(id, true).show(count);
