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
    const shown = showModal(dialog, dialog.querySelector(".text") ?? dialog.querySelector(".side"));
    // Now that the view is open and its rows have their height.
    tables.forEach((showRows) => showRows());
    lines?.show(view.lines.count);
    await shown.then(() => copies);
}
