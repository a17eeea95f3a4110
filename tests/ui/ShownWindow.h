#pragma once

#include "Calculator.h"
#include "Sanitizers.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

namespace lse::test {

// The real window with its platform services, shown and active as at start-up.
class ShownWindow : public testing::Test {
protected:
    void SetUp() override {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    template <typename Widget = QWidget> Widget* child(const char* name, int index = -1) const {
        for (Widget* const widget : window.findChildren<Widget*>(name))
            if (index < 0 || widget->property("index").toInt() == index)
                return widget;
        return nullptr;
    }

    std::string text(TextBox box) const { return platform.readText(box); }

    // Compute Exact Solution by the lineq-exact just built; under AddressSanitizer without the
    // address-space limit, under which the child's shadow memory could not be mapped.
    void useExactChild() {
        platform.exactProgram = LINEQ_EXACT_PROGRAM;
        if (kAddressSanitizer)
            platform.exactMemoryLimit = 0;
    }

    ui::Calculator calculator;
    ui::MainWindow& window = calculator.window;
    ui::QtPlatform& platform = calculator.platform;
};

} // namespace lse::test
