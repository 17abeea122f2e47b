#include <gtest/gtest.h>
#include <windows.h>
#include "app/framework/Dialog.h"
#include "app/framework/DialogFont.h"
#include "app/framework/SubClassing.h"
#include "app/framework/TemplateFont.h"

namespace {

// A dialog that refuses to end a given number of times and records what happened.
class TestDialog : public C_Dialog {
public:
    int refusals = 0;
    int endCalls = 0;
    INT_PTR lastEndResult = 12345;
    INT_PTR initResult = 1;
    bool* destroyed = nullptr;
    UINT postOnInit = 0;

    ~TestDialog() override
    {
        if (destroyed)
            *destroyed = true;
    }
    INT_PTR OnInitDialog() override
    {
        if (postOnInit)
            PostMessageA(m_hWnd, WM_COMMAND, postOnInit, 0);
        return initResult;
    }
    INT_PTR OnEnd(INT_PTR result) override
    {
        ++endCalls;
        lastEndResult = result;
        if (refusals > 0) {
            --refusals;
            // Asked again a moment later, as a user would press Escape once more.
            PostMessageA(m_hWnd, WM_COMMAND, IDCLOSE, 0);
            return 0;
        }
        return 1;
    }
};

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST(DialogClose, ModelessRefusedThenClosed)
{
    TestDialog dialog;
    HWND window = dialog.CreateModeless(nullptr, 9001, 0, nullptr);
    ASSERT_TRUE(window != nullptr);
    EXPECT_EQ(dialog.GetHandle(), window);
    dialog.refusals = 1;
    dialog.Close(7);
    EXPECT_TRUE(IsWindow(window)) << "OnEnd refused, the dialog must stay";
    EXPECT_EQ(dialog.GetHandle(), window);
    EXPECT_EQ(dialog.lastEndResult, 7);
    Pump(); // the IDCLOSE posted by the refusal now closes it
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.GetHandle(), nullptr);
    EXPECT_EQ(dialog.endCalls, 2);
    EXPECT_EQ(dialog.lastEndResult, 0);
    // The object outlives its window and can create it again.
    EXPECT_TRUE(dialog.CreateModeless(nullptr, 9001, 0, nullptr) != nullptr);
    dialog.Close(0);
    EXPECT_EQ(dialog.GetHandle(), nullptr);
}

TEST(DialogClose, ModalEscapeAndRefusal)
{
    TestDialog dialog;
    dialog.postOnInit = IDCANCEL;
    dialog.refusals = 2;
    EXPECT_EQ(dialog.RunModal(nullptr, 9003, 0, nullptr), 0);
    EXPECT_EQ(dialog.endCalls, 3);
    EXPECT_EQ(dialog.GetHandle(), nullptr);
}

TEST(DialogClose, FailedInitAndMissingTemplate)
{
    TestDialog failing;
    failing.initResult = 0;
    EXPECT_EQ(failing.RunModal(nullptr, 9001, 0, nullptr), -1);
    EXPECT_EQ(failing.lastEndResult, -1);
    TestDialog failingModeless;
    failingModeless.initResult = 0;
    EXPECT_EQ(failingModeless.CreateModeless(nullptr, 9001, 0, nullptr), nullptr);
    TestDialog missing;
    EXPECT_EQ(missing.RunModal(nullptr, 4711, 0, nullptr), -1);
    EXPECT_EQ(missing.CreateModeless(nullptr, 4711, 0, nullptr), nullptr);
}

TEST(DialogClose, DeleteOnCloseDeletesTheObject)
{
    bool destroyed = false;
    TestDialog* dialog = new TestDialog;
    dialog->destroyed = &destroyed;
    ASSERT_TRUE(dialog->CreateModeless(nullptr, 9001, C_Dialog::kDeleteOnClose, nullptr) != nullptr);
    SendMessageA(dialog->GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(destroyed);
}

TEST(DialogOptions, FirstShowIsSuppressedOnce)
{
    TestDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr, 9003, C_Dialog::kSuppressFirstShow, nullptr));
    ShowWindow(dialog.GetHandle(), SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(dialog.GetHandle()));
    EXPECT_FALSE(dialog.GetOptions() & C_Dialog::kSuppressFirstShow);
    ShowWindow(dialog.GetHandle(), SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(dialog.GetHandle()));
    dialog.Close(0);
}

TEST(DialogOperations, ItemsTextsAndChecks)
{
    TestDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr, 9003, 0, nullptr));
    EXPECT_TRUE(dialog.SetItemText(101, "hello"));
    EXPECT_EQ(dialog.GetItemText(101), "hello");
    std::string longText(400, 'x');
    dialog.SetItemText(101, longText.c_str());
    char buffer[300];
    memset(buffer, 'z', sizeof(buffer));
    dialog.GetItemText(101, buffer);
    EXPECT_EQ(strlen(buffer), 259u) << "at most 259 characters, always terminated";
    EXPECT_FALSE(dialog.EnableItem(555, 1));
    EXPECT_TRUE(dialog.EnableItem(IDCANCEL, 0));
    EXPECT_FALSE(IsWindowEnabled(dialog.GetItem(IDCANCEL)));
    EXPECT_TRUE(dialog.SetMinimumSize(300, 200));
    SetWindowPos(dialog.GetHandle(), nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOMOVE);
    RECT r, minimum = dialog.MapDialogUnits(0, 0, 300, 200);
    GetWindowRect(dialog.GetHandle(), &r);
    EXPECT_GE(r.right - r.left, minimum.right - minimum.left);
    dialog.Close(0);
}

// The system's message font set for the test and put back afterwards.
class MessageFont {
public:
    explicit MessageFont(const wchar_t* face, LONG height)
    {
        saved.cbSize = sizeof(saved);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
        NONCLIENTMETRICSW changed = saved;
        wcsncpy(changed.lfMessageFont.lfFaceName, face, LF_FACESIZE - 1);
        changed.lfMessageFont.lfHeight = height;
        ok = SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(changed), &changed, 0) != 0;
    }
    ~MessageFont() { SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, 0); }
    NONCLIENTMETRICSW saved = {};
    bool ok = false;
};

std::u16string FaceOfDialog(HWND dialog)
{
    LOGFONTW lf = {};
    GetObjectW((HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0), sizeof(lf), &lf);
    return (const char16_t*)lf.lfFaceName;
}

TEST(TemplateFontSubstitution, MessageFontDecides)
{
    std::vector<uint8_t> changed;
    {
        // A face outside the three known ones leaves every template alone.
        MessageFont font(L"Courier New", -12);
        ASSERT_TRUE(font.ok);
        EXPECT_FALSE(SubstituteDialogFont(GetModuleHandleA(nullptr), 9001, false, changed));
    }
    {
        MessageFont font(L"Tahoma", -13);
        ASSERT_TRUE(font.ok);
        ASSERT_TRUE(SubstituteDialogFont(GetModuleHandleA(nullptr), 9001, false, changed));
        TemplateFont rewritten;
        ASSERT_TRUE(ReadTemplateFont(changed.data(), changed.size(), &rewritten));
        HDC dc = GetDC(nullptr);
        int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        if (rewritten.face == u"Tahoma") {
            EXPECT_EQ(rewritten.pointSize, (13 * 72 + dpi / 2) / dpi);
        } else {
            // Without Tahoma installed the shell dialog faces stand in at 8 points.
            EXPECT_TRUE(rewritten.face == u"MS Shell Dlg 2" || rewritten.face == u"MS Shell Dlg");
            EXPECT_EQ(rewritten.pointSize, 8);
        }
        // The old template form is rewritten too, and a fixed face never.
        std::vector<uint8_t> old;
        EXPECT_TRUE(SubstituteDialogFont(GetModuleHandleA(nullptr), 9003, false, old));
        std::vector<uint8_t> kept;
        EXPECT_FALSE(SubstituteDialogFont(GetModuleHandleA(nullptr), 9002, false, kept));
        EXPECT_TRUE(kept.empty());

        // The dialog made from the rewritten template runs with its controls intact.
        TestDialog dialog;
        ASSERT_TRUE(dialog.CreateModeless(nullptr, 9001, 0, nullptr));
        EXPECT_TRUE(dialog.GetItem(100) != nullptr);
        EXPECT_EQ(dialog.GetItemText(101), "label");
        EXPECT_EQ(FaceOfDialog(dialog.GetHandle()), rewritten.face);
        dialog.Close(0);
    }
}

int g_calls = 0;
int Answer42(HWND, UINT message, WPARAM, LPARAM, LRESULT* result, void* user)
{
    ++g_calls;
    if (message == WM_APP + 7) {
        *result = (LRESULT)(intptr_t)user;
        return 1;
    }
    return 0;
}

TEST(SubClassing, OneOfEachKindPerWindow)
{
    HWND window =
        CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
    C_SubClassing first(kTagLink), second(kTagLink), other(kTagLabel);
    EXPECT_EQ(C_SubClassing::PropertyName(kTagLink), "_C_SubClassing_Property_6C696E6B");
    ASSERT_EQ(first.Attach(window, Answer42, (void*)42), 1);
    EXPECT_EQ(second.Attach(window, Answer42, (void*)43), 0);
    EXPECT_EQ(second.GetWindow(), nullptr) << "a refused attach changes nothing";
    EXPECT_EQ(SendMessageA(window, WM_APP + 7, 0, 0), 42);
    ASSERT_EQ(other.Attach(window, Answer42, (void*)44), 1);
    EXPECT_EQ(SendMessageA(window, WM_APP + 7, 0, 0), 44) << "the newest kind answers first";
    // Messages the callbacks leave alone reach the control itself.
    SetWindowTextA(window, "changed");
    char text[16] = "";
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "changed");
    EXPECT_EQ(other.Detach(), 1);
    EXPECT_EQ(first.Detach(), 1);
    EXPECT_EQ(first.Detach(), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), original);
    EXPECT_EQ(GetPropA(window, C_SubClassing::PropertyName(kTagLink).c_str()), nullptr);
    EXPECT_EQ(second.Attach(window, Answer42, (void*)43), 1) << "after the detach the kind is free again";
    DestroyWindow(window);
    EXPECT_EQ(second.GetWindow(), nullptr) << "destroying the window ends the subclass";
}

} // namespace
