// Each multi-line box: its <textarea> for a short text, beside it a LineView for a long one; the
// one shown has the box's id, and the focus if the other had it.
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
// A box's short text (the browser makes CR LF one line end), or its long text of `count` lines.
function setBoxText(id, text) {
    (boxViews.has(id) ? showBox(id, false).area : document.getElementById(id)).value = text;
}
const setBoxLines = (id, count) => showBox(id, true).show(count);
