// The page's exact solve: exact/'s solve compiled with GMP, MPFR and FLINT, run in a Worker.
// A page opened from a file can start a Worker from a Blob URL only, so the module's text
// comes in lineq-exact.js, a script loaded the first time the exact solution is asked for,
// never at page load. While it runs, the progress box shows what runs and a Cancel (or Esc)
// that ends the Worker at once; the next request makes a new one.
var lineqExact = (() => {
    // Loaded the first time the exact solution is asked for; a cancel while it loads leaves
    // it loading for the next request.
    const module = workerModule("lineq-exact.js");
    let worker = null;

    function endWorker() {
        worker?.terminate();
        worker = null;
    }

    // Resolves with how the solve ended (web/WorkerEvent.h): done and its report, or why not.
    function solve(title, request) {
        return new Promise((resolve) => {
            let settled = false;
            const finish = (reply) => {
                if (settled)
                    return;
                settled = true;
                box.close();
                if (reply.kind !== "done")
                    endWorker(); // cancelled, or spent by running out of memory
                resolve(reply);
            };
            const box = openProgress({ title: document.title, text: () => title,
                cancel: () => finish({ kind: "cancelled" }) });
            box.dialog.dataset.state = "loading";
            module.start(request, finish, () => settled, "the solver stopped", worker)
                .then((started) => {
                    worker = started;
                    box.dialog.dataset.state = "solving";
                });
        });
    }

    return { solve, moduleLoaded: module.arrived };
})();
