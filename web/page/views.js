// Any view the program describes, drawn as the program's markup has it (web/ViewMarkup.cpp) in
// a <dialog> of its own, made once: `view.name` its id, `markup` what it holds, `texts` the
// text of each <textarea> by id, `lines` the line view's id, its count of lines and what the
// lines beside them are called ("" for none), `enabled` the names of its commands that have
// something to do, `copies` what each copy button copies. The focus starts in its first text,
// for the keys. Resolves once closed and copied.
async function showView(view) {
    let dialog = document.getElementById(view.name);
    if (!dialog) {
        dialog = document.getElementById("viewDialog").content.firstElementChild.cloneNode(true);
        dialog.id = view.name;
        dialog.setAttribute("aria-labelledby", `${view.name}-title`);
        document.getElementById("viewDialog").before(dialog);
    }
    const layOut = fillView(dialog, view);
    const shown = showModal(dialog, dialog.querySelector(".text") ?? dialog.querySelector(".side"));
    // Now that the view is open and its rows have their height.
    layOut();
    await shown.then(() => copies);
}
// The open view filled anew where it stands, once a command run from it added to what it
// shows; the focus stays on the button it was on while that has something to do.
function refillView(view) {
    const dialog = document.getElementById(view.name);
    if (!dialog?.open)
        return;
    const focused = dialog.contains(document.activeElement) ?
        document.activeElement.dataset.command : undefined;
    fillView(dialog, view)();
    (dialog.querySelector(`[data-command="${focused}"]:not(:disabled)`) ??
        dialog.querySelector(".text") ?? dialog.querySelector(".side")).focus();
}
// Fills `dialog` as `view` has it; what it returns lays out the rows and lines in sight, once
// the view is open.
function fillView(dialog, view) {
    dialog.querySelector("form").innerHTML = view.markup;
    for (const [id, text] of Object.entries(view.texts)) {
        const area = document.getElementById(id);
        area.value = text;
        area.setSelectionRange(0, 0);
    }
    for (const button of dialog.querySelectorAll("[data-command]"))
        button.disabled = !view.enabled.includes(button.dataset.command);
    for (const button of dialog.querySelectorAll("[data-copy]"))
        button.onclick = () => copyText(view.copies[Number(button.dataset.copy)]);
    const lines = view.lines && new LineView(document.getElementById(view.lines.id), view.lines.id);
    dialog.classList.toggle("pairs", Boolean(view.lines?.beside));
    if (lines)
        lines.element.ariaDescription = view.lines.beside || null;
    // A long table holds the rows that the program writes as they come into sight.
    const tables = [...dialog.querySelectorAll("tbody[data-table]")].map((body) => {
        const side = body.closest(".side");
        let height = 0;
        const showRows = () => {
            height ||= body.rows[0]?.getBoundingClientRect().height ?? 0;
            const rows = callNow("viewRows", Number(body.dataset.table),
                side.getBoundingClientRect().top - body.getBoundingClientRect().top,
                side.clientHeight, height);
            if (rows !== null)
                body.innerHTML = rows;
        };
        showRows();
        side.onscroll = showRows;
        return showRows;
    });
    return () => {
        tables.forEach((showRows) => showRows());
        lines?.show(view.lines.count);
    };
}
