// DialogFrameworkTests.cpp - modal dialogs of the framework as real
// windows: binding the object to its window, closing, and what happens to
// an exception thrown while a message is handled.
#include "../../qor/QorApp.h"
#include "../../qor/QorException.h"
#include "../../qor/QorWnd.h"
#include "../../res/resource.h"
#include "TestSupport.h"
#include "Answering.h"
#include <gtest/gtest.h>

namespace {

const UINT kThrow = WM_APP;     // the dialog throws the memory exception
const UINT kProbe = WM_APP + 1; // the dialog passes kThrow to QorDialogProc itself

// A dialog on one of the engine's templates that records what it sees.
class CProbeDialog : public CQorDialog {
public:
    explicit CProbeDialog(UINT templateId) : CQorDialog(templateId) {}

    INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (!firstMessage)
            firstMessage = message;
        switch (message) {
        case WM_INITDIALOG:
            initHwnd = this->hwnd;
            initWindow = hwnd;
            initLookup = g_wndMap.Lookup(hwnd);
            initParam = lParam;
            break;
        case WM_NCDESTROY:
            ncDestroyHwnd = this->hwnd;
            ncDestroyWindow = hwnd;
            ncDestroyLookup = g_wndMap.Lookup(hwnd);
            break;
        case kThrow:
            ++throws;
            QorThrowMemoryException();
        case kProbe:
            probeResult = QorDialogProc(hwnd, kThrow, 0, 0);
            return TRUE;
        }
        return CQorDialog::DialogProc(hwnd, message, wParam, lParam);
    }

    UINT firstMessage = 0;
    HWND initHwnd = nullptr, initWindow = nullptr;
    CQorWnd* initLookup = nullptr;
    LPARAM initParam = 0;
    HWND ncDestroyHwnd = nullptr, ncDestroyWindow = nullptr;
    CQorWnd* ncDestroyLookup = reinterpret_cast<CQorWnd*>(1);
    int throws = 0;
    INT_PTR probeResult = -1;
};

TEST(DialogFramework, ObjectIsBoundFromInitDialogToNcDestroy)
{
    CProbeDialog dialog(IDD_SETTING);
    HWND seenInStep = nullptr;
    INT_PTR result = 0;
    const DriveResult r = Drive([&] { result = dialog.DoModal(nullptr); }, {[&](HWND window) {
                                    seenInStep = dialog.hwnd;
                                    Press(window, IDOK);
                                }});
    ASSERT_FALSE(r.timedOut);
    ASSERT_EQ(1u, r.windows.size());
    const HWND window = r.windows[0];
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(static_cast<UINT>(WM_INITDIALOG), dialog.firstMessage)
        << "the object saw a message before WM_INITDIALOG";
    EXPECT_EQ(window, dialog.initWindow);
    EXPECT_EQ(window, dialog.initHwnd) << "hwnd not set before WM_INITDIALOG reached the object";
    EXPECT_EQ(&dialog, dialog.initLookup) << "not registered at WM_INITDIALOG";
    EXPECT_EQ(reinterpret_cast<LPARAM>(&dialog), dialog.initParam);
    EXPECT_EQ(window, seenInStep);
    EXPECT_EQ(window, dialog.ncDestroyWindow);
    EXPECT_EQ(window, dialog.ncDestroyHwnd)
        << "hwnd cleared before WM_NCDESTROY reached the object";
    EXPECT_EQ(nullptr, dialog.ncDestroyLookup) << "still in the map during WM_NCDESTROY";
    EXPECT_EQ(nullptr, dialog.hwnd) << "hwnd left set after DoModal";
    EXPECT_EQ(nullptr, g_wndMap.Lookup(window));
}

TEST(DialogFramework, TemplateIdKeepsItsLow16Bits)
{
    CProbeDialog dialog(0x12340000 | IDD_ABOUT);
    EXPECT_EQ(static_cast<UINT>(IDD_ABOUT), dialog.templateId);
    EXPECT_EQ(QorGetApp()->instance, dialog.instance);
    std::string caption;
    INT_PTR result = 0;
    const DriveResult r = Drive([&] { result = dialog.DoModal(nullptr); }, {[&](HWND window) {
                                    caption = WindowText(window);
                                    Press(window, IDOK);
                                }});
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Sjis(L"VarioEngineのバージョン情報"), caption) << Escaped(caption);
}

TEST(DialogFramework, OnlyOkAndCancelEndTheDialog)
{
    // Commands are posted in order; the first that ends the dialog gives
    // DoModal its result.
    const struct {
        const char* name;
        std::vector<WPARAM> commands;
        INT_PTR expected;
    } cases[] = {
        {"OK with a notification code", {MAKEWPARAM(3, 0), MAKEWPARAM(IDOK, 0x1234)}, IDOK},
        {"Cancel with a notification code",
         {MAKEWPARAM(1001, 0), MAKEWPARAM(IDCANCEL, 0xFFFF)},
         IDCANCEL},
        {"command 3 and the browse id are ignored", {3, 1001, 1000, IDOK}, IDOK},
    };
    for (const auto& c : cases) {
        CProbeDialog dialog(IDD_SETTING);
        INT_PTR result = 0;
        const DriveResult r = Drive([&] { result = dialog.DoModal(nullptr); }, {[&](HWND window) {
                                        for (WPARAM command : c.commands)
                                            PostMessageA(window, WM_COMMAND, command, 0);
                                    }});
        EXPECT_FALSE(r.timedOut) << c.name;
        EXPECT_EQ(c.expected, result) << c.name;
    }
}

// Without an object the dialog is shown but nothing answers it: only
// EndDialog from its own thread can close it.
HWND g_unboundDialog = nullptr;
CQorWnd* g_unboundLookup = reinterpret_cast<CQorWnd*>(1);

void CALLBACK EndUnboundDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = g_unboundDialog;
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    g_unboundLookup = g_wndMap.Lookup(dialog);
    EndDialog(dialog, 7);
}

TEST(DialogFramework, InitDialogWithoutAnObjectBindsNothing)
{
    g_unboundDialog = nullptr;
    RECT rect = {};
    INT_PTR result = 0;
    std::string caption;
    const DriveResult r = Drive(
        [&] {
            SetTimer(nullptr, 0, 50, EndUnboundDialog);
            result = DialogBoxParamA(QorGetApp()->instance, MAKEINTRESOURCEA(IDD_SETTING), nullptr,
                                     QorDialogProc, 0);
        },
        {[&](HWND window) {
            caption = WindowText(window);
            GetWindowRect(window, &rect);
            // Neither OK nor Cancel does anything without the object.
            Press(window, IDOK);
            Press(window, IDCANCEL);
            Sleep(200);
            g_unboundDialog = IsWindow(window) ? window : nullptr;
        }});
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(0, r.unexpected);
    EXPECT_EQ(7, result) << "OK or Cancel ended a dialog that has no object";
    EXPECT_EQ(Sjis(L"VarioEngineの設定"), caption) << Escaped(caption);
    EXPECT_EQ(nullptr, g_unboundLookup) << "a dialog without an object was registered";
    // Not centred: it stays where its template puts it.
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
}

// Records the error box, answers it and notes whether the dialog stayed
// (after Cancel, once its loop has had time to end it).
WindowStep LookAtErrorBox(SeenWindow* seen, bool* dialogStayed, HWND* dialog, int answer)
{
    return [=](HWND box) {
        *seen = Inspect(box);
        Press(box, answer);
        WaitForClose(box);
        if (answer == IDCANCEL)
            WaitForClose(*dialog);
        *dialogStayed = IsWindow(*dialog) && IsWindowVisible(*dialog);
    };
}

void ExpectErrorBox(const SeenWindow& seen, const char* which)
{
    // Empty caption, OK and Cancel.
    EXPECT_EQ("FrameworkBox", Kinds({seen})) << which << ": " << Escaped(seen.caption);
    EXPECT_EQ(MemoryMessage(), seen.text) << which << ": " << Escaped(seen.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), seen.icon) << which;
    EXPECT_EQ(nullptr, seen.owner) << which;
}

TEST(DialogFramework, ExceptionInAMessageShowsAnErrorBoxAndCancelQuits)
{
    MSG stale;
    while (PeekMessageA(&stale, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    CProbeDialog dialog(IDD_ABOUT);
    HWND window = nullptr;
    SeenWindow first, second;
    bool firstStayed = false, secondStayed = true;
    const DriveResult r = Drive([&] { dialog.DoModal(nullptr); },
                                {
                                    [&](HWND d) {
                                        window = d;
                                        PostMessageA(d, kProbe, 0, 0);
                                    },
                                    [&](HWND box) {
                                        LookAtErrorBox(&first, &firstStayed, &window, IDOK)(box);
                                        PostMessageA(window, kThrow, 0, 0);
                                    },
                                    [&](HWND box) {
                                        LookAtErrorBox(&second, &secondStayed, &window,
                                                       IDCANCEL)(box);
                                        if (IsWindow(window))
                                            Press(window, IDOK);
                                    },
                                });
    MSG quit = {};
    const BOOL quitPosted = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    while (PeekMessageA(&stale, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }

    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(0, r.unexpected);
    EXPECT_EQ(2, dialog.throws);
    EXPECT_EQ(0, dialog.probeResult) << "a message that threw was not answered with 0";
    ExpectErrorBox(first, "answered OK");
    EXPECT_TRUE(firstStayed) << "OK in the error box ended the dialog";
    // The quit message ends the dialog's modal loop, which posts it again
    // for the loop outside.
    ExpectErrorBox(second, "answered Cancel");
    EXPECT_FALSE(secondStayed) << "Cancel in the error box left the dialog open";
    EXPECT_TRUE(quitPosted) << "Cancel in the error box posted no WM_QUIT";
    EXPECT_EQ(0u, quit.wParam) << "exit code";
    EXPECT_EQ(nullptr, dialog.hwnd);
    EXPECT_EQ(nullptr, g_wndMap.Lookup(window));
}

} // namespace
