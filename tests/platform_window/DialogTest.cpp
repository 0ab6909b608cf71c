// Modal dialogs from the executable's template, driven by posted messages as
// a user's clicks would drive them.

#include <gtest/gtest.h>

#include "platform/PlatformTesting.h"
#include "platform/Win32Api.h"
#include "platform/X11Display.h"

#include <string>
#include <vector>

namespace
{
const int setupTemplate = 101;

struct Record {
    LPARAM initParam = 0;
    std::vector<int> commands;
    INT_PTR cancelResult = 0;
};
Record record;

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        record.initParam = lParam;
        return TRUE;
    case WM_COMMAND:
        record.commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, record.cancelResult);
        if (LOWORD(wParam) == IDOK)
            EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

std::string ControlText(HWND dialog, int id)
{
    char text[128] = {};
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

class Dialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Platform::GetDisplay())
            GTEST_SKIP() << "no X display";
        record = Record{};
    }
    void TearDown() override { PlatformTesting::SetDialogDriver(nullptr); }

    INT_PTR Run(LPARAM param = 0)
    {
        return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(setupTemplate), nullptr, TestDialogProc, param);
    }
};

TEST_F(Dialog, UnknownTemplateFails)
{
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, TestDialogProc, 0), -1);
}

TEST_F(Dialog, ControlsStartAsTheTemplateSays)
{
    PlatformTesting::SetDialogDriver([](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, IDOK), "OK");
        EXPECT_EQ(ControlText(dialog, 1014), "Jaskość wygładzania");
        EXPECT_EQ(ControlText(dialog, 1011), "VENDOR");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1002)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1001)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1009)));
        EXPECT_EQ(GetDlgItem(dialog, 4242), nullptr);
        SetDlgItemTextA(dialog, 1011, "Producent testowy");
        EXPECT_EQ(ControlText(dialog, 1011), "Producent testowy");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(Run(1234), 1);
    EXPECT_EQ(record.initParam, 1234);
}

TEST_F(Dialog, ClicksTurnCheckBoxesOverButNotDisabledOnes)
{
    int step = 0;
    PlatformTesting::SetDialogDriver([&step](HWND dialog) {
        if (step++ == 0) {
            PostMessageA(GetDlgItem(dialog, 1002), BM_CLICK, 0, 0);
            PostMessageA(GetDlgItem(dialog, 1001), BM_CLICK, 0, 0);
            return;
        }
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1002), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1001), static_cast<UINT>(BST_UNCHECKED));
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(record.commands, (std::vector<int>{1002, IDOK}));
}

TEST_F(Dialog, CloseWithoutHandlingPressesCancel)
{
    record.cancelResult = 7;
    PlatformTesting::SetDialogDriver([](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); });
    EXPECT_EQ(Run(), 7);
    EXPECT_EQ(record.commands, (std::vector<int>{IDCANCEL}));
}

TEST_F(Dialog, DropDownListSearchesByPrefixAndWrapsAround)
{
    PlatformTesting::SetDialogDriver([](HWND dialog) {
        for (const char* text : {"800 x 600", "1024 x 768", "1280 x 1024"}) {
            const LRESULT index = SendDlgItemMessageA(dialog, 1006, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            SendDlgItemMessageA(dialog, 1006, CB_SETITEMDATA, static_cast<WPARAM>(index), index * 10);
        }
        auto select = [dialog](WPARAM start, const char* text) {
            return SendDlgItemMessageA(dialog, 1006, CB_SELECTSTRING, start, reinterpret_cast<LPARAM>(text));
        };
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1006, CB_GETCURSEL, 0, 0), CB_ERR);
        EXPECT_EQ(select(static_cast<WPARAM>(-1), "1"), 1);
        EXPECT_EQ(select(1, "1"), 2);
        EXPECT_EQ(select(2, "1"), 1);           // round past the end
        EXPECT_EQ(select(0, "800"), 0);         // the start entry is searched last
        EXPECT_EQ(select(0, "640"), CB_ERR);
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1006, CB_GETCURSEL, 0, 0), 0);  // unchanged
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1006, CB_GETITEMDATA, 2, 0), 20);
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1009, CB_GETITEMDATA,
                                      static_cast<WPARAM>(SendDlgItemMessageA(dialog, 1009, CB_GETCURSEL, 0, 0)), 0),
                  CB_ERR);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(Run(), 1);
}
}
