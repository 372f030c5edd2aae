// The message dialog and the error display under Wine, driven through the keyboard and mouse messages a
// user produces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "AppText.h"
#include "ApplicationWindow.h"
#include "ErrorDisplay.h"
#include "Exceptions.h"
#include "MessageDialog.h"
#include "WindowDriver.h"

namespace orv::test {
namespace {

// The application window owns the dialogs; a plain top-level window stands for the main window.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        application_ = new ApplicationWindow(GetModuleHandleA(nullptr));
        main_ = CreateWindowExA(0, "STATIC", "Main", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 100, 100, 300, 200,
                                application_->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SetActiveWindow(main_);
    }
    void TearDown() override {
        DestroyWindow(main_);
        delete application_;
    }

    ApplicationWindow* application_ = nullptr;
    HWND main_ = nullptr;
};

TEST_F(DialogTest, AnswerDependsOnHowTheDialogWasClosed) {
    const struct {
        const char* name;
        DialogButtons buttons;
        std::vector<Step> steps;
        DialogAnswer answer;
    } cases[] = {
        {"OK: Enter", DialogButtons::Ok, {Key(VK_RETURN)}, AnswerOk},
        {"OK: Escape", DialogButtons::Ok, {Key(VK_ESCAPE)}, AnswerOk},
        {"OK: click", DialogButtons::Ok, {Click("OK")}, AnswerOk},
        {"OK: close box", DialogButtons::Ok, {CloseBox()}, AnswerCancel},
        {"OK: a letter does nothing", DialogButtons::Ok, {Char('o'), Char('k'), CloseBox()}, AnswerCancel},
        {"Yes/No: Enter at once", DialogButtons::YesNo, {Key(VK_RETURN)}, AnswerYes},
        {"Yes/No: Tab then Enter", DialogButtons::YesNo, {Key(VK_TAB), Key(VK_RETURN)}, AnswerNo},
        {"Yes/No: arrow then Enter", DialogButtons::YesNo, {Key(VK_RIGHT), Key(VK_RETURN)}, AnswerNo},
        {"Yes/No: Escape", DialogButtons::YesNo, {Key(VK_ESCAPE)}, AnswerNo},
        {"Yes/No: Escape after Tab", DialogButtons::YesNo, {Key(VK_TAB), Key(VK_ESCAPE)}, AnswerNo},
        {"Yes/No: close box", DialogButtons::YesNo, {CloseBox()}, AnswerCancel},
        {"Yes/No: Y", DialogButtons::YesNo, {Char('y')}, AnswerYes},
        {"Yes/No: N", DialogButtons::YesNo, {Char('n')}, AnswerNo},
        {"Yes/No: Alt+N", DialogButtons::YesNo, {AltChar('n')}, AnswerNo},
        {"Yes/No: Alt+Y after Tab", DialogButtons::YesNo, {Key(VK_TAB), AltChar('y')}, AnswerYes},
        {"Yes/No: click No", DialogButtons::YesNo, {Click("&No")}, AnswerNo},
    };
    for (const auto& c : cases) {
        WindowDriver driver("TMessageForm", c.steps);
        EXPECT_EQ(ShowMessageDialog("Question", DialogKind::Information, c.buttons), c.answer) << c.name;
        EXPECT_TRUE(driver.Found()) << c.name;
    }
}

TEST_F(DialogTest, ShowsTitleTextAndButtonsOfItsKindWithTheFirstButtonFocused) {
    const struct {
        DialogKind kind;
        DialogButtons buttons;
        const char* title;
        std::vector<std::string> captions;
    } cases[] = {
        {DialogKind::Error, DialogButtons::Ok, "Error", {"OK"}},
        {DialogKind::Information, DialogButtons::Ok, "Information", {"OK"}},
        {DialogKind::Information, DialogButtons::YesNo, "Information", {"&Yes", "&No"}},
    };
    const std::string text = "Failed to install\nC:\\HPCHEM\\OV\\OV.MCX";
    for (const auto& c : cases) {
        WindowDriver driver("TMessageForm", {Key(VK_ESCAPE)}, main_);
        ShowMessageDialog(text, c.kind, c.buttons);
        const SeenWindow& seen = driver.Seen();
        EXPECT_EQ(seen.title, c.title);
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.buttons, c.captions);
        EXPECT_EQ(seen.focus, c.captions.front());
        EXPECT_FALSE(seen.otherWindowEnabled) << "the main window takes no input while the dialog is up";
        EXPECT_TRUE(IsWindowEnabled(main_)) << c.title;
        EXPECT_EQ(GetActiveWindow(), main_) << c.title;
    }
}

TEST_F(DialogTest, SitsInTheMiddleOfTheScreenAndGrowsForALongWord) {
    WindowDriver shortText("TMessageForm", {Key(VK_RETURN)});
    ShowMessageDialog("Orvandel removed", DialogKind::Information, DialogButtons::Ok);
    const RECT small = shortText.Seen().bounds;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs((small.left + small.right) - screenWidth), 1);
    EXPECT_LE(std::abs((small.top + small.bottom) - screenHeight), 1);

    WindowDriver longWord("TMessageForm", {Key(VK_RETURN)});
    ShowMessageDialog("Failed to install\nC:\\" + std::string(120, 'X') + "\\OV\\OV.MCX", DialogKind::Error,
                      DialogButtons::Ok);
    EXPECT_GT(longWord.Seen().bounds.right - longWord.Seen().bounds.left, screenWidth / 2);
}

TEST_F(DialogTest, CtrlCCopiesTitleTextAndCaptionsAndKeepsTheDialogOpen) {
    WindowDriver driver("TMessageForm", {CtrlC(), ReleaseCtrl(), Key(VK_TAB), Key(VK_RETURN)});
    EXPECT_EQ(ShowMessageDialog("Orvandel removed", DialogKind::Information, DialogButtons::YesNo), AnswerNo);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    const std::string clip = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : "";
    if (data != nullptr) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(clip, DialogClipboardText("Information", "Orvandel removed", std::vector<std::string>{"&Yes", "&No"}));
}

TEST_F(DialogTest, ErrorDisplayShowsTheMessageWithItsFullStopUnderTheProgramTitle) {
    const struct {
        const char* name;
        void (*raise)();
        const char* shown;
    } cases[] = {
        {"I/O error", [] { throw EInOutError(InOutErrorText(183)); }, "I/O error 183."},
        {"access denied", [] { throw EInOutError(InOutErrorText(5)); }, "File access denied."},
        {"already a full stop", [] { throw EFOpenError("Cannot open file \"C:\\x\". Access denied."); },
         "Cannot open file \"C:\\x\". Access denied."},
        {"standard exception", [] { throw std::runtime_error("Out of paper"); }, "Out of paper."},
        {"anything else", [] { throw 42; }, "An unexpected error occurred."},
    };
    const std::string title = ApplicationTitle();
    EXPECT_EQ(title, "app_windows_tests");
    for (const auto& c : cases) {
        WindowDriver driver("#32770", {Command(IDOK)}, main_);
        RunGuarded(c.raise);
        EXPECT_EQ(driver.Seen().title, title) << c.name;
        EXPECT_EQ(driver.Seen().text, c.shown) << c.name;
        EXPECT_FALSE(driver.Seen().otherWindowEnabled) << c.name;
        EXPECT_TRUE(IsWindowEnabled(main_)) << c.name;
    }
}

}  // namespace
}  // namespace orv::test
