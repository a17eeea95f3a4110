#pragma once

#include "Platform.h"
#include "frmCholesky.h"

#include <QMetaObject>
#include <QString>

namespace lse::ui {

class MainWindow;

// Shown as the title of a message or input box that brings none of its own.
inline const QString kProgramTitle = "Lineq";

// The platform services on Qt: the window's controls, and message and input boxes modal over
// it. Owns the equation logic and runs it on the window's two button clicks.
class QtPlatform final : public Platform {
public:
    explicit QtPlatform(MainWindow& window);
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    frmCholesky& form() { return form_; }

    std::string readText(TextBox box) const override;
    void replaceText(TextBox box, const std::string& text) override;
    int checkBoxValue(CheckBox box) const override;
    bool optionValue(OptionArray array, int index) const override;
    void messageBox(const std::string& text, MessageStyle style,
                    const std::optional<std::string>& title) override;
    std::optional<std::string> inputBox(const std::string& prompt) override;

private:
    MainWindow& window_;
    frmCholesky form_{*this};
    QMetaObject::Connection submitClicked_;
    QMetaObject::Connection startClicked_;
};

} // namespace lse::ui
