// The program in the browser put together: the page's platform services and the equation
// logic, with the page's two buttons bound to the logic's click handlers (by page.js, which
// calls the two functions below and waits for them).
#include "WebPlatform.h"
#include "frmCholesky.h"

#include <emscripten.h>

namespace {

struct Calculator {
    Calculator() {
        // A page opened from a file gets no shared memory, so no second thread.
        form.solveOptions.threads = 1;
    }

    lse::web::WebPlatform platform;
    lse::frmCholesky form{platform};
};

Calculator& calculator() {
    static Calculator instance;
    return instance;
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void submitClick() {
    calculator().form.submit_but_Click();
}

EMSCRIPTEN_KEEPALIVE void startClick() {
    calculator().form.Start_Click();
}

} // extern "C"

int main() {
    calculator();
    return 0;
}
